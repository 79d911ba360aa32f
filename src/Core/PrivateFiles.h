#pragma once

namespace orvana {

struct AppPaths;

// Goals, reflections and plans are nobody else's business: Orvana's folders
// are 0700 and its files 0600, whatever the umask.

// New files and folders of this process get no group or other bits.
void keepNewFilesPrivate();
// Orvana's existing folders and the files directly in them are tightened
// (an installation made before, or a file copied in): group and other access
// is taken away and nothing is added; contents stay as they are. Silent: a
// mode that cannot be changed is left for the next start.
void tightenPrivateFiles(const AppPaths& paths);

} // namespace orvana
