// What the runner tells the driver: the tool to start, where the page server listens, the built help file.
#pragma once

#include <string>

namespace e2e {

struct E2eConfig {
    std::wstring toolPath;
    unsigned short pagePort = 0;
    std::wstring helpFile;       // empty when the runner names none
    unsigned short tlsPort = 0;  // where a server answers only in TLS
    // Given the test's certificates: HTTPS with a certificate for "localhost" from the test authority, the
    // same from an authority nobody trusts, and the test authority's certificate (DER); else 0 and empty.
    unsigned short httpsPort = 0;
    unsigned short untrustedHttpsPort = 0;
    std::wstring testAuthority;
    // Given Debian's servers: squid's port and its access log, and the address of the folder vsftpd serves;
    // else 0 and empty.
    unsigned short proxyPort = 0;
    std::wstring proxyLog;
    std::wstring ftpFolder;
};

const E2eConfig& Config();

// Takes --tool=<path of the tool's exe>, --port=<page server's port>, --tls-port=<TLS-only port> and, if given,
// --help-file=<path of help.chm>, --https-port=, --untrusted-https-port=, --test-authority=<path of its
// certificate>, --proxy-port=, --proxy-log= and --ftp-folder=; false with the reason when one of the first three
// is missing.
bool ReadConfig(int argc, wchar_t** argv, std::wstring& error);

}  // namespace e2e
