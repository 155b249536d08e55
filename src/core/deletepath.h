#pragma once

#include <QString>

// Deletes a file or a folder with everything below it, permanently and without asking.
// A folder path may end with the delimiter. An empty path deletes nothing. Returns true when
// the path is gone.
bool DeletePathSilently(const QString &path);
