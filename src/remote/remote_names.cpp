#include "remote/remote_names.hpp"

namespace quill::ftp {

bool isSafeRemoteName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\\') == std::string_view::npos;
}

}  // namespace quill::ftp
