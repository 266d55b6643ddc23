#pragma once
// Every export name a host script may call, in the order of the plug-in's export table.

#include <array>
#include <string_view>

namespace mevrix::tool {

inline constexpr std::array<std::string_view, 22> kKnownExportNames = {
    "Version",      "SetDefaultDir", "SetDialogTitle", "GetFileList",      "GetDirFileList",
    "GetFileInfo",  "OpenFolder",    "GetFile",        "CloseFolder",      "FileDelete",
    "FileRename",   "FileCopyTo",    "EmptyFolder",    "ScaleUVs",         "setDate",
    "setTxrName",   "writeCollada",  "writeColladaTris", "getGroups",      "OBJtoSculpty",
    "AppendOBJ",    "GroupListClear"};

}  // namespace mevrix::tool
