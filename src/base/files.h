// Whole-file reads and writes. A write goes to a new file beside the target that is then
// renamed over it, so a failure never leaves a half-written file behind.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lanvoy {

// The file's bytes, or nullopt when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Writes bytes to a temporary file in the same folder, flushed to the disk, and renames it
// over path (over the file a symbolic link names), keeping its permissions. Temporary files
// that earlier writes of path left behind when their process died are removed first (at a
// process's first write of path, and again every ten minutes).
// Returns false (and leaves path as it was) when any step fails.
// A lazy write is atomic all the same but not flushed; the system puts it on the disk in its
// own time. For scratch files (a script handed to a program that reads it at once, an answer
// read back in a moment: a crash loses them with the work they were for) and for what
// Windows itself flushes lazily (the registry, the network settings). The flushes would cost
// an apply a third of its time.
enum class Durability { kOnDisk, kLazy };
bool WriteFileAtomic(const std::string& path, const std::string& bytes,
                     Durability durability = Durability::kOnDisk);

// Rewrites an existing file in place, for a folder that refuses new files: the new bytes'
// room taken first, the old bytes put back when the write fails, flushed. false when the file
// could not be rewritten (it is then as it was).
bool WriteFileDirect(const std::string& path, const std::string& bytes);
// Whether a new file can be made in the folder of path (tried, and removed again).
bool FolderTakesNewFiles(const std::string& path);

// Appends bytes to the file (made when missing). false when it cannot be written.
bool AppendToFile(const std::string& path, const std::string& bytes);

// A process with an administrator's rights writes no file through a link: another user
// could have pointed it at a file only the administrator may change. With this on, a write
// to a path that is a link fails (and changes nothing).
void RefuseLinkedFiles(bool refuse);
bool LinksRefused();

bool FileExists(const std::string& path);  // a regular file; a directory does not count
bool DeleteFileAt(const std::string& path);

// Lines of a text file as 8-bit text (CR LF, LF or CR end a line); EFOpenError when it
// cannot be opened.
std::vector<std::string> ReadTextLines(const std::string& path);

// Every line followed by CR LF, replacing the file whole (atomically); EFCreateError when it
// cannot be written.
void WriteTextLines(const std::string& path, const std::vector<std::string>& lines,
                    Durability durability = Durability::kOnDisk);

}  // namespace lanvoy
