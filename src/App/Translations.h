#pragma once

namespace orvana {

// Orvana's texts and Qt's own (standard buttons and dialogs) in the user's
// language, as LANGUAGE, LC_ALL, LC_MESSAGES and LANG name it; English, the
// language the texts are written in, when there is no translation. Call once
// the application object exists, before any text is shown or printed.
void installTranslations();

} // namespace orvana
