#pragma once

#include <QByteArray>
#include <QString>

namespace cli {

// --out FILE. Output paths are often in shared folders (/tmp), where another user may have put
// something under the name first, so nothing there is followed or fed:
// - a symbolic link is refused, dangling or not;
// - a pipe or device is written where it stands, but only when this user owns it; a pipe
//   nobody reads is refused rather than waited on;
// - a symbolic link in place of any folder on the way is refused too (config::ReplaceUserFile);
// - a regular file is replaced in one step by a new file renamed over the name (the rename
//   replaces whatever is there then, never a link's target), keeping its permissions; another
//   user's file is refused, also for root.
// Raises an error naming the file, also when a write or the close fails.
void WriteOutputFile(const QString& path, const QByteArray& bytes);

} // namespace cli
