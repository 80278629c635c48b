// Reading a whole local file into memory within a size limit, and writing
// one whole or not at all.
//
// Only a regular file (or a symbolic link to one) is read: a FIFO would block
// the reader until some other program writes to it, and a device such as
// /dev/zero never ends. The file's kind and size are checked on the opened
// file itself, so a file swapped for something else after a check cannot
// slip through, and a regular file larger than the limit is refused before
// any of it is read.
#ifndef SKYVANE_PANEL_FETCH_LOCAL_FILE_H_
#define SKYVANE_PANEL_FETCH_LOCAL_FILE_H_

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace skyvane {

struct LocalFileRead {
  enum class Outcome {
    kRead,        // `bytes` holds the whole file
    kMissing,     // nothing exists at the path
    kNotRegular,  // a folder, FIFO, socket or device
    kTooLarge,    // more than the limit
    kUnreadable,  // it could not be opened or read (permissions, I/O)
  };
  Outcome outcome = Outcome::kRead;
  QByteArray bytes;
  // For every outcome but kRead, one line naming the file and saying why,
  // e.g. "/tmp/f is not a regular file".
  QString problem;
};

// Reads the file at `path` if it is a regular file of at most `max_bytes`
// bytes. Never blocks on a FIFO or device and never reads more than
// `max_bytes` + 1 bytes. Raises nothing; std::bad_alloc may pass through.
LocalFileRead ReadLocalFile(const QString& path, int64_t max_bytes);

// Writes `bytes` to `path` whole or not at all (a temporary file renamed
// over it), making its folder first. Returns an empty string, or a
// one-line reason naming the file.
QString WriteLocalFileAtomically(const QString& path, const QByteArray& bytes);

}  // namespace skyvane

#endif  // SKYVANE_PANEL_FETCH_LOCAL_FILE_H_
