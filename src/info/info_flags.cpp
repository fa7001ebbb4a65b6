#include "info/info_flags.hpp"

namespace quill {

bool AltKeyDown = false;
bool MusicCreditShown = false;

}  // namespace quill
