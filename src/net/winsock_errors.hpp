#pragma once

#include <string>

namespace quill::ftp {

// Socket failures are reported with the Windows Sockets numbers users and
// server admins know; these helpers translate the platform's codes.
inline constexpr int kWsaNotASocket = 10038;
inline constexpr int kWsaTimedOut = 10060;
inline constexpr int kWsaHostNotFound = 11001;

// The Windows Sockets number for an errno value; an errno without a
// counterpart is passed on unchanged (it then has no text).
int winsockErrorFromErrno(int errorNumber);

// The Windows Sockets number for a getaddrinfo failure code.
int winsockErrorFromResolver(int resolverError);

// The text of a Windows Sockets number; empty for numbers outside the table.
std::string winsockErrorText(int winsockError);

}  // namespace quill::ftp
