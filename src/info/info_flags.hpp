#pragma once

namespace quill {

// Set by Alt in the about window, cleared by any key released there; a
// double-click on its icon opens the credits only while it is set.
extern bool AltKeyDown;
// Set once the credits' second animation has ended; from then on closing the
// credits window switches it to its closing layout.
extern bool MusicCreditShown;

}  // namespace quill
