#pragma once
// Loads a page given by URL (http, https, file) for a batch run, following redirects. libcurl is opened only
// when a URL is loaded, so a batch run on a page file never pays for it.
#include <cstddef>
#include <string>
#include <string_view>

struct FetchedPage {
    std::string bytes;        // the body as served
    std::string contentType;  // the last response's Content-Type, empty when none was sent
    std::string effectiveUrl; // the address after redirects, as a browser's address box shows it
};

// Seconds a URL may take in all (connecting included) unless DEALSCOPE_URL_TIMEOUT gives another whole number.
inline constexpr long DEFAULT_URL_TIME_LIMIT = 60;
inline constexpr long DEFAULT_CONNECT_TIME_LIMIT = 15;

// The largest page loaded: far beyond any page of boards, and within what the conversion can count.
inline constexpr size_t MAX_PAGE_BYTES = size_t(1) << 30;

// Throws platform::ProgramException with a message that says why the page could not be loaded, also when the
// page is larger than `maxBytes`; std::bad_alloc when memory runs out.
FetchedPage FetchUrl(std::string_view url, size_t maxBytes = MAX_PAGE_BYTES);
