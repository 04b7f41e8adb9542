#include "Tls.h"

#include <arpa/inet.h>
#include <cerrno>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

namespace postrel {
namespace {

std::string OpenSslReason()
{
    const unsigned long code = ERR_peek_last_error();
    if (code == 0)
        return "the connection ended";
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

bool IsAddressLiteral(const std::string &host)
{
    in_addr v4;
    in6_addr v6;
    return inet_pton(AF_INET, host.c_str(), &v4) == 1 || inet_pton(AF_INET6, host.c_str(), &v6) == 1;
}

} // namespace

std::unique_ptr<TlsLayer> TlsLayer::Create(int fd, const std::string &host, const std::string &caFile,
                                           LibraryError &error)
{
    ERR_clear_error();
    SSL_CTX *context = SSL_CTX_new(TLS_client_method());
    if (!context) {
        error = {errors::kTlsHandshake, "TLS handshake failed: " + OpenSslReason()};
        return nullptr;
    }
    SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
    SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
    // A server that drops the connection without a close_notify is an ordinary end, not an error.
    SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_mode(context, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    const bool trustLoaded = caFile.empty() ? SSL_CTX_set_default_verify_paths(context) == 1
                                            : SSL_CTX_load_verify_locations(context, caFile.c_str(), nullptr) == 1;
    if (!trustLoaded) {
        SSL_CTX_free(context);
        error = {errors::kCertificate, "Certificate not trusted: the trusted certificates " +
                                           (caFile.empty() ? std::string("of the system") : "of " + caFile) +
                                           " could not be read"};
        return nullptr;
    }
    SSL *ssl = SSL_new(context);
    if (!ssl || SSL_set_fd(ssl, fd) != 1) {
        if (ssl)
            SSL_free(ssl);
        SSL_CTX_free(context);
        error = {errors::kTlsHandshake, "TLS handshake failed: " + OpenSslReason()};
        return nullptr;
    }
    std::unique_ptr<TlsLayer> layer(new TlsLayer(context, ssl));
    // The certificate must name the host that was asked for, not merely chain to a trusted root.
    bool named;
    if (IsAddressLiteral(host)) {
        named = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str()) == 1;
    } else {
        SSL_set_hostflags(ssl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
        named = SSL_set_tlsext_host_name(ssl, host.c_str()) == 1 && SSL_set1_host(ssl, host.c_str()) == 1;
    }
    if (!named) {
        error = {errors::kCertificate, "Certificate not trusted: cannot check it against " + host};
        return nullptr;
    }
    SSL_set_connect_state(ssl);
    return layer;
}

TlsLayer::~TlsLayer()
{
    SSL_free(ssl_);
    SSL_CTX_free(context_);
}

TlsLayer::Io TlsLayer::Outcome(int result, bool handshake)
{
    switch (SSL_get_error(ssl_, result)) {
    case SSL_ERROR_WANT_READ:
        return Io::WantRead;
    case SSL_ERROR_WANT_WRITE:
        return Io::WantWrite;
    case SSL_ERROR_ZERO_RETURN:
        if (!handshake)
            return Io::Closed;
        break;
    case SSL_ERROR_SYSCALL:
        errno_ = errno;
        if (errno_ == 0 && !handshake)
            return Io::Closed;
        break;
    default:
        break;
    }
    if (handshake) {
        const long verified = SSL_get_verify_result(ssl_);
        if (verified != X509_V_OK)
            error_ = {errors::kCertificate,
                      std::string("Certificate not trusted: ") + X509_verify_cert_error_string(verified)};
        else
            error_ = {errors::kTlsHandshake, "TLS handshake failed: " + OpenSslReason()};
    }
    return Io::Failed;
}

TlsLayer::Io TlsLayer::Handshake()
{
    ERR_clear_error();
    errno_ = 0;
    const int result = SSL_do_handshake(ssl_);
    return result == 1 ? Io::Done : Outcome(result, true);
}

TlsLayer::Io TlsLayer::Read(char *buffer, std::size_t size, std::size_t &got)
{
    ERR_clear_error();
    errno_ = 0;
    got = 0;
    const int result = SSL_read_ex(ssl_, buffer, size, &got);
    return result == 1 ? Io::Done : Outcome(result, false);
}

TlsLayer::Io TlsLayer::Write(const char *data, std::size_t size, std::size_t &put)
{
    ERR_clear_error();
    errno_ = 0;
    put = 0;
    const int result = SSL_write_ex(ssl_, data, size, &put);
    return result == 1 ? Io::Done : Outcome(result, false);
}

bool TlsLayer::Pending() const { return SSL_pending(ssl_) > 0; }

std::string TlsLayer::Description() const
{
    return std::string(SSL_get_version(ssl_)) + " " + SSL_get_cipher_name(ssl_);
}

} // namespace postrel
