#pragma once

#include <QByteArray>
#include <QString>

namespace cli {

// --out FILE. Output paths are often in shared folders (/tmp), where another user may have put
// something under the name first, so nothing there is followed or fed:
// - a symbolic link is refused, dangling or not;
// - a pipe or device is written where it stands, but only when this user owns it; a pipe
//   nobody reads is refused rather than waited on;
// - a regular file is replaced in one step by a new file renamed over the name (the rename
//   replaces whatever is there then, never a link's target); run as root, the new file keeps
//   the old one's owner and group, and any file keeps its permissions.
// Raises an error naming the file, also when a write or the close fails.
void WriteOutputFile(const QString& path, const QByteArray& bytes);

} // namespace cli
