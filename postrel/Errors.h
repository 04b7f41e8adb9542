// Library error codes and texts. Socket failures carry the WinSock error numbers that callers of this
// library have always seen; errno values are mapped onto them first.
#pragma once

#include <string>

namespace postrel {

struct LibraryError {
    int code = 0;     // the library error code passed to OnException
    std::string text; // the text passed with it
};

// WinSock-numbered socket error (10004 ... 11004) to code and text; unlisted numbers give code 2
// "Error not defined".
LibraryError ErrorForSocketNumber(int winsockNumber);

// POSIX errno to the WinSock number that means the same; 0 for an errno without an equivalent.
int WinsockNumberForErrno(int err);

// errno straight to the library error.
LibraryError ErrorForErrno(int err);

// c-ares status of a failed host lookup to the library error (code 3 with a host-not-found text).
LibraryError ErrorForLookupStatus(int aresStatus);

namespace errors {
inline constexpr int kWinsockVersion = 2;
inline constexpr int kUndefined = 2; // "Error not defined"
inline constexpr int kNoHost = 3;
inline constexpr int kResource = 7;
inline constexpr int kNotConnected = 9;
inline constexpr int kClosed = 13;
inline constexpr int kTlsNotOffered = 20;
inline constexpr int kTlsHandshake = 21;
inline constexpr int kCertificate = 22;
inline constexpr int kAuthRefused = 23;
} // namespace errors

} // namespace postrel
