// TLS on a non-blocking socket, through OpenSSL: the handshake with certificate chain and host-name
// verification, then reads and writes that never block. Each step says what it waits for, so the
// channel can ask its event loop for exactly that.
#pragma once

#include "Errors.h"

#include <cstddef>
#include <memory>
#include <string>

struct ssl_st;
struct ssl_ctx_st;

namespace postrel {

class TlsLayer {
public:
    enum class Io { Done, WantRead, WantWrite, Closed, Failed };

    // Sets up a client for `host` on `fd`, trusting the certificates of `caFile` (empty: the system's
    // trust store). Null, with `error` set, when that cannot be done.
    static std::unique_ptr<TlsLayer> Create(int fd, const std::string &host, const std::string &caFile,
                                            LibraryError &error);
    ~TlsLayer();
    TlsLayer(const TlsLayer &) = delete;
    TlsLayer &operator=(const TlsLayer &) = delete;

    Io Handshake();
    // Why the handshake failed: code 22 when the certificate did not verify, else 21.
    LibraryError HandshakeError() const { return error_; }
    // The errno of a failed read or write, 0 when TLS itself failed.
    int LastErrno() const { return errno_; }

    Io Read(char *buffer, std::size_t size, std::size_t &got);
    Io Write(const char *data, std::size_t size, std::size_t &put);
    bool Pending() const; // decrypted bytes wait inside the layer
    std::string Description() const; // protocol and cipher

private:
    TlsLayer(ssl_ctx_st *context, ssl_st *ssl) : context_(context), ssl_(ssl) {}
    Io Outcome(int result, bool handshake);

    ssl_ctx_st *context_;
    ssl_st *ssl_;
    LibraryError error_;
    int errno_ = 0;
};

} // namespace postrel
