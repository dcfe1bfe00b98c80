#pragma once

#include <QString>

// Copies a file so that the target holds either its old content or the whole copy, never a
// part (written beside the target, then renamed over it). Copying a file onto itself does
// nothing and succeeds. On failure error (when given) says why.
bool copyFileAtomically(const QString &from, const QString &to, QString *error = nullptr);

// Creates the file empty, or cuts an existing one to zero length, in the same way.
bool writeEmptyFile(const QString &path, QString *error = nullptr);
