// The page server's pages as the driver knows them; page_server.py holds the same table.
#pragma once

#include <string>

#include "e2e_config.h"

namespace e2e {

// The text that marks a healthy page, served in GBK as the tool reads it.
inline constexpr wchar_t kMarker[] = L"网站运行正常";

inline constexpr wchar_t kMarkerPage[] = L"/marker";
inline constexpr wchar_t kPlainPage[] = L"/plain";
// The same, answered after half a second, so that the tool's memory is sampled while its check runs.
inline constexpr wchar_t kSlowPlainPage[] = L"/slow-plain";
inline constexpr wchar_t kBrokenPage[] = L"/break";
// Serves the marker or not, as the driver last set it through kSwitchOk or kSwitchFail; or a body cut short
// at every fetch (kSwitchBroken); or, by turns at every fetch, a page without and with it (kSwitchFlap); or
// an answer that goes on until the state is set again: no byte at all (kSwitchHang), a body that gets a byte
// every ten seconds (kSwitchDripForever), a body streamed without a pause (kSwitchStreamForever), or a header
// line a second and never the body (kSwitchHeadersForever). kSwitchCachedPage serves the same, to be kept an hour by
// caches.
inline constexpr wchar_t kSwitchPage[] = L"/switch";
inline constexpr wchar_t kSwitchCachedPage[] = L"/switch/cached";
inline constexpr wchar_t kSwitchOk[] = L"/switch/ok";
inline constexpr wchar_t kSwitchFail[] = L"/switch/fail";
inline constexpr wchar_t kSwitchBroken[] = L"/switch/broken";
inline constexpr wchar_t kSwitchFlap[] = L"/switch/flap";
inline constexpr wchar_t kSwitchHang[] = L"/switch/hang";
inline constexpr wchar_t kSwitchDripForever[] = L"/switch/drip-forever";
inline constexpr wchar_t kSwitchStreamForever[] = L"/switch/stream-forever";
inline constexpr wchar_t kSwitchHeadersForever[] = L"/switch/headers-forever";
// A forwarding page whose frame shows kSwitchPage.
inline constexpr wchar_t kFrameToSwitchPage[] = L"/frame-to-switch";
// Pages a hostile server would send: 256 MB in one line, with the marker as its last bytes or without it;
// a reset before any answer; a body closed cleanly before its announced length; a body dripped one byte a
// second; 10,000 header lines; a redirect to itself.
inline constexpr wchar_t kHugeLinePage[] = L"/huge";
inline constexpr wchar_t kHugeLineMarkerPage[] = L"/huge-marker";
inline constexpr wchar_t kResetPage[] = L"/reset";
inline constexpr wchar_t kCutShortPage[] = L"/cut-short";
inline constexpr wchar_t kDripPage[] = L"/drip";
inline constexpr int kDripSeconds = 30;
inline constexpr wchar_t kManyHeadersPage[] = L"/many-headers";
inline constexpr wchar_t kRedirectLoopPage[] = L"/loop";
// Redirect to the marker page over HTTPS (HttpsUrl), and over plain HTTP (PageUrl).
inline constexpr wchar_t kToHttpsPage[] = L"/to-https";
inline constexpr wchar_t kToHttpPage[] = L"/to-http";

// An address of the page server: the scheme and host as written, one of its ports, the path.
inline std::wstring Url(const wchar_t* schemeAndHost, unsigned short port, const std::wstring& path) {
    return schemeAndHost + (L":" + std::to_wstring(port)) + path;
}

inline std::wstring PageUrl(const std::wstring& path) { return Url(L"http://127.0.0.1", Config().pagePort, path); }

// The same page asked for with TLS, of the server that speaks only plain HTTP.
inline std::wstring TlsUrlOfPlainServer(const std::wstring& path) {
    return Url(L"https://127.0.0.1", Config().pagePort, path);
}

// A plain HTTP address of the port that speaks only TLS.
inline std::wstring PlainUrlOfTlsServer(const std::wstring& path) {
    return Url(L"http://127.0.0.1", Config().tlsPort, path);
}

// The page over HTTPS with a certificate for "localhost" from the test authority, which the test prefix trusts.
inline std::wstring HttpsUrl(const std::wstring& path) { return Url(L"https://localhost", Config().httpsPort, path); }

// The same server by its address, which its certificate does not name.
inline std::wstring HttpsUrlByAddress(const std::wstring& path) {
    return Url(L"https://127.0.0.1", Config().httpsPort, path);
}

// A server whose certificate for "localhost" comes from an authority nobody trusts.
inline std::wstring UntrustedHttpsUrl(const std::wstring& path) {
    return Url(L"https://localhost", Config().untrustedHttpsPort, path);
}

}  // namespace e2e
