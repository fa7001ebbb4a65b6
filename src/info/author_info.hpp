#pragma once

#include <QString>

namespace quill {

// The author's own data, shown in the about window, the credits and the card.
inline const QString kAuthorFirstName = QStringLiteral("Tobias");
inline const QString kAuthorSurname = QStringLiteral("Rinne");
inline const QString kAuthorName = kAuthorFirstName + QStringLiteral(" ") + kAuthorSurname;
inline const QString kAuthorMailAddress = QStringLiteral("tobias@quillmaskerade.de");
inline const QString kAuthorHome = QStringLiteral("24103 Kiel");
inline const QString kAuthorBirthday = QStringLiteral("14.03.1984");
inline const QString kAuthorIcq = QStringLiteral("215384907");
inline const QString kAuthorAim = QStringLiteral("TobiRinne84");
inline const QString kCopyright = QStringLiteral("Copyright © 2006 ") + kAuthorName;

// The music of the credits and who made it.
inline const QString kMusicCredit = QStringLiteral("Music by Lena Hartwig, www.quillmaskerade.de/musik");

}  // namespace quill
