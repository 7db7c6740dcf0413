#include "document/base_path.h"

namespace virevi {

std::string BasePathOf(const std::string& fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string::npos) {
        return fileName;
    }
    const auto slash = fileName.rfind('/');
    if (slash != std::string::npos && slash > dot) {
        return fileName;
    }
    return fileName.substr(0, dot);
}

} // namespace virevi
