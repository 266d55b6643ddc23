#pragma once
// The texts that COLLADA documents carry besides the mesh.

#include <string>

namespace mevrix::collada {

// Members in the order the library creates them.
struct ExportMetadata {
  std::string baseName;     // base of the document's ids; assigned by each writer call
  std::string textureName;  // texture image name without ".bmp"; set by setTxrName
  std::string author;       // assigned by each writer call
  std::string copyright;    // assigned by each writer call
  std::string comments;     // assigned by each writer call
  std::string date;         // created and modified date; set by setDate
};

// The results of setDate and setTxrName.
enum class MetadataResult : int {
  set = 0,
  outOfMemory = -1,  // the text is kept as it was
};

}  // namespace mevrix::collada
