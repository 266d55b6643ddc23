#pragma once
// The fixed runs of lines of a document, which every document carries as they stand.

#include <string_view>

namespace mevrix::collada {

// The namespace of the COLLADA 1.4.1 schema.
inline constexpr std::string_view kColladaNamespace =
    "http://www.collada.org/2005/11/COLLADASchema";

// Every effect's lines behind its opening line; only the effect's id differs between effects.
inline constexpr std::string_view kEffectBody[] = {
    "      <profile_COMMON>",
    "        <newparam sid=\"QelvarTexture-surface\">",
    "          <surface type=\"2D\">",
    "            <init_from>QelvarTexture</init_from>",
    "          </surface>",
    "        </newparam>",
    "        <newparam sid=\"QelvarTexture-sampler\">",
    "          <sampler2D>",
    "            <source>QelvarTexture-surface</source>",
    "          </sampler2D>",
    "        </newparam>",
    "        <technique sid=\"common\">",
    "          <blinn>",
    "            <emission>",
    "              <color>0 0 0 1</color>",
    "            </emission>",
    "            <ambient>",
    "              <color>0 0 0 1</color>",
    "            </ambient>",
    "            <diffuse>",
    "              <texture texture=\"QelvarTexture-sampler\" texcoord=\"TEX0\">",
    "                <extra>",
    "                  <technique profile=\"QelvarCOLLADA\">",
    "                    <blend_mode>NONE</blend_mode>",
    "                    <coverageU>1</coverageU>",
    "                    <coverageV>1</coverageV>",
    "                    <fast>0</fast>",
    "                    <mirrorU>0</mirrorU>",
    "                    <mirrorV>0</mirrorV>",
    "                    <noiseU>0</noiseU>",
    "                    <noiseV>0</noiseV>",
    "                    <offsetU>0</offsetU>",
    "                    <offsetV>0</offsetV>",
    "                    <repeatU>1</repeatU>",
    "                    <repeatV>1</repeatV>",
    "                    <rotateFrame>0</rotateFrame>",
    "                    <rotateUV>0</rotateUV>",
    "                    <stagger>0</stagger>",
    "                    <translateFrameU>0</translateFrameU>",
    "                    <translateFrameV>0</translateFrameV>",
    "                    <wrapU>1</wrapU>",
    "                    <wrapV>1</wrapV>",
    "                  </technique>",
    "                </extra>",
    "              </texture>",
    "            </diffuse>",
    "            <specular>",
    "              <color>0.5 0.5 0.5 1</color>",
    "            </specular>",
    "            <shininess>",
    "              <float>0.3</float>",
    "            </shininess>",
    "            <reflective>",
    "              <color>0 0 0 1</color>",
    "            </reflective>",
    "            <reflectivity>",
    "              <float>0.5</float>",
    "            </reflectivity>",
    "            <transparent opaque=\"RGB_ZERO\">",
    "              <color>0 0 0 1</color>",
    "            </transparent>",
    "            <transparency>",
    "              <float>1</float>",
    "            </transparency>",
    "          </blinn>",
    "        </technique>",
    "      </profile_COMMON>",
    "    </effect>",
};

// The image library's lines behind the image's <init_from> line.
inline constexpr std::string_view kImageTail[] = {
    "      <extra>",
    "        <technique profile=\"QelvarCOLLADA\">",
    "          <dgnode_type>kFile</dgnode_type>",
    "          <image_sequence>0</image_sequence>          ",
    "        </technique>",
    "      </extra>",
    "    </image>",
    "  </library_images>",
};

// The accessor of a source of three-component values behind its opening line.
inline constexpr std::string_view kXyzAccessorTail[] = {
    "              <param name=\"X\" type=\"float\"/>",
    "              <param name=\"Y\" type=\"float\"/>",
    "              <param name=\"Z\" type=\"float\"/>",
    "            </accessor>",
    "          </technique_common>",
};

// The accessor of the texture-coordinate source behind its opening line.
inline constexpr std::string_view kStAccessorTail[] = {
    "              <param name=\"S\" type=\"float\"/>",
    "              <param name=\"T\" type=\"float\"/>",
    "            </accessor>",
    "          </technique_common>",
};

// The geometry library's lines behind the mesh's last primitive element.
inline constexpr std::string_view kGeometryTail[] = {
    "      </mesh>",
    "      <extra>",
    "        <technique profile=\"QelvarCOLLADA\">          ",
    "          <double_sided>1</double_sided>",
    "        </technique>",
    "      </extra>",
    "    </geometry>",
    "  </library_geometries>",
};

// The node's transform, which leaves the mesh where it is.
inline constexpr std::string_view kNodeTransform[] = {
    "        <translate sid=\"translate\">0 0 0</translate>",
    "        <rotate sid=\"rotateZ\">0 0 1 0</rotate>",
    "        <rotate sid=\"rotateY\">0 1 0 0</rotate>",
    "        <rotate sid=\"rotateX\">1 0 0 0</rotate>",
    "        <scale sid=\"scale\">1 1 1</scale>",
};

// The visual scene library's lines behind the last bound material.
inline constexpr std::string_view kVisualSceneTail[] = {
    "            </technique_common>",
    "          </bind_material>",
    "        </instance_geometry>        ",
    "      </node>",
    "    </visual_scene>",
    "  </library_visual_scenes>",
};

// The scene, the end of the root element and two empty lines.
inline constexpr std::string_view kSceneAndEnd[] = {
    "  <scene>",  "    <instance_visual_scene url=\"#VisualSceneNode\"/>",
    "  </scene>", "</COLLADA>",
    "",           "",
};

}  // namespace mevrix::collada
