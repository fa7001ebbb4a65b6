#include "settings/extension_list.hpp"

#include "files/file_io.hpp"

namespace quill {

std::string extensionListPath() { return files::inCurrentFolder("Endungen.qmk"); }

StringList loadExtensionList() { return loadStringList(extensionListPath()); }

void saveExtensionList(const StringList& masks) { saveStringList(extensionListPath(), masks); }

}  // namespace quill
