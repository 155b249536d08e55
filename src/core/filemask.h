#pragma once

#include "core/platform/platform.h"

#include <QString>
#include <string>

// A file-name wildcard pattern as the mask field holds it: "*" matches any run of characters,
// "?" exactly one character, letters match without regard to case (simple case folding), and
// "*.*" matches every name, with or without a dot. The empty pattern matches nothing.
class FileMask
{
public:
    explicit FileMask(const QString &pattern);
    bool matches(const QString &name) const;
    // The same test on a name in the system's spelling, without a text conversion for the
    // usual plain-ASCII names.
    bool matchesNative(platform::NativeStringView name) const;
    // True when the pattern lets every name through, so callers may skip the test.
    bool matchesEveryName() const { return m_everyName; }

private:
    bool matchesFolded(std::u32string_view name) const;

    std::u32string m_pattern; // case-folded code points
    bool m_everyName = false;
};
