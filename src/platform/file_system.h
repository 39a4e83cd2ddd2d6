// What a whole-file write needs of the machine beyond the standard library: the bytes on the
// disk before the rename, the rename itself on the disk, and whether the process that began
// an earlier write still runs. Each backend implements these; no OS header may appear here.
#pragma once

#include <cstdint>
#include <string>

namespace lanvoy::platform {

// Creates path (failing when it exists), writes bytes and, with flush, flushes them to the
// disk (fsync / FlushFileBuffers). false when any step fails; what was created is left.
bool WriteNewFileToDisk(const std::string& path, const std::string& bytes, bool flush);

// Renames from over to, replacing it, and with flush has the change of the folder on the
// disk before returning (rename and fsync of the folder / MoveFileExA with
// MOVEFILE_WRITE_THROUGH).
bool ReplaceFileOnDisk(const std::string& from, const std::string& to, bool flush);

// Rewrites an existing file in place, for a folder that refuses new files: the room for the
// new bytes is taken first (the file grown to their size), so that a full disk changes
// nothing; a write that fails then puts the old bytes back. Flushed to the disk. false when
// the file was left as it was (or, after a failed rollback, could not be).
bool RewriteFileInPlace(const std::string& path, const std::string& bytes);

// Whether path is a symbolic link (a reparse point on Windows); false when it does not exist.
bool IsLink(const std::string& path);

// Appends bytes to the file, made when missing; with refuseLinks, a link at path is not
// written through. false when any step fails.
bool AppendToFileOnDisk(const std::string& path, const std::string& bytes, bool refuseLinks);

uint32_t CurrentProcessId();
// Whether a process of this id runs (0 never does).
bool ProcessRuns(uint32_t id);

}  // namespace lanvoy::platform
