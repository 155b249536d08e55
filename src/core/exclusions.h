#pragma once

#include <QString>
#include <QStringList>

// Whether a full source path matches one of the exclusion patterns. Letters A
// to Z are compared without case; a pattern beginning with "*" stands for its
// last extension; every pattern is a plain piece of text searched in the whole
// path, folder part included. Empty patterns are ignored.
bool IsExcluded(const QString &path, const QStringList &patterns);
