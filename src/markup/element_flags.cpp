#include "markup/element_flags.h"

namespace NKXML {

const CElementFlagsEntry g_elementFlags[29] = {
    {"area", XMLF_EMPTY},
    {"base", XMLF_EMPTY},
    {"basefont", XMLF_EMPTY},
    {"body", XMLF_OPTIONAL_END},
    {"br", XMLF_EMPTY},
    {"col", XMLF_EMPTY},
    {"colgroup", XMLF_OPTIONAL_END},
    {"dd", XMLF_OPTIONAL_END},
    {"dt", XMLF_OPTIONAL_END},
    {"frame", XMLF_EMPTY},
    {"head", XMLF_OPTIONAL_END},
    {"hr", XMLF_EMPTY},
    {"html", XMLF_OPTIONAL_END},
    {"img", XMLF_EMPTY},
    {"input", XMLF_EMPTY},
    {"isindex", XMLF_EMPTY},
    {"li", XMLF_OPTIONAL_END},
    {"link", XMLF_EMPTY},
    {"meta", XMLF_EMPTY},
    {"option", XMLF_OPTIONAL_END},
    {"p", XMLF_OPTIONAL_END},
    {"param", XMLF_EMPTY},
    {"tbody", XMLF_OPTIONAL_END},
    {"td", XMLF_OPTIONAL_END},
    {"tfoot", XMLF_OPTIONAL_END},
    {"th", XMLF_OPTIONAL_END},
    {"thead", XMLF_OPTIONAL_END},
    {"tr", XMLF_OPTIONAL_END},
    {nullptr, 0},
};

} // namespace NKXML
