// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

#include "platform/FileError.h"

// The failures of the platform layer. Each carries its fixed message text ("Cannot open file %s",
// "Stream read error", ...), which the application shows unchanged in its error report. Libraries throw them;
// only the edge of an event handler (or a tool's main) catches them.

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

class EStreamError : public Exception {
public:
    using Exception::Exception;
};

// "Cannot open file %s": a file that could not be opened for reading. The message is that text alone, as
// the error report shows it; reason, the system's words for why ("Permission denied"), is kept beside
// it for a report that gives it (skarnres).
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& path, std::string reason = {})
        : EStreamError("Cannot open file " + path), m_path(path), m_reason(std::move(reason)) {}
    // The path as the caller gave it, for a report that spells it otherwise.
    const std::string& Path() const { return m_path; }
    // Why it could not be opened; "" when not known.
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
};

// "Cannot create file %s": a file that could not be created or truncated for writing, with the
// system's error number when a system call failed (none when the program itself refused, as to
// replace a folder or the source).
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string& path, TFileError error = {})
        : EStreamError("Cannot create file " + path), m_path(path), m_error(error) {}
    const std::string& Path() const { return m_path; }
    TFileError Error() const { return m_error; }
    // Why it could not be created, in the system's words; "" when not known.
    std::string Reason() const { return SystemErrorText(m_error.code); }

private:
    std::string m_path;
    TFileError m_error;
};

// "Stream read error": a transfer that delivered fewer bytes than asked for.
class EReadError : public EStreamError {
public:
    EReadError() : EStreamError("Stream read error") {}
};

// "Stream write error": a transfer that wrote fewer bytes than asked for.
class EWriteError : public EStreamError {
public:
    EWriteError() : EStreamError("Stream write error") {}
};

// A file that was written to or replaced while it was being copied: the copy is not used, and the
// source of a move is not deleted.
class EFileChanged : public EStreamError {
public:
    explicit EFileChanged(const std::string& path)
        : EStreamError("The file " + path + " changed while it was being copied and was left where it was") {}
};

// "Out of memory": an allocation that failed, or one that a damaged file asked for beyond reason.
class EOutOfMemory : public Exception {
public:
    EOutOfMemory() : Exception("Out of memory") {}
};

// "Scan line index out of range" and the like: a bitmap operation on something the bitmap lacks.
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// "Invalid data type for '%s'": a registry value of another type than the caller can read.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// A Wine prefix that cannot be used: "WINEPREFIX must be an absolute path: <value>".
class EWinePrefixError : public Exception {
public:
    using Exception::Exception;
};
