#include "app/url_fetcher.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>

#include "platform/error_report.h"
#include "platform/wide_text.h"

namespace {

[[noreturn]] void Fail(std::string_view text) {
    throw platform::ProgramException(platform::Utf8ToUtf16(text));
}

// The few entry points of libcurl that a fetch needs, looked up once.
struct CurlLibrary {
    decltype(&::curl_global_init) globalInit = nullptr;
    decltype(&::curl_global_cleanup) globalCleanup = nullptr;
    decltype(&::curl_easy_init) easyInit = nullptr;
    decltype(&::curl_easy_setopt) easySetopt = nullptr;
    decltype(&::curl_easy_perform) easyPerform = nullptr;
    decltype(&::curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&::curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&::curl_easy_strerror) easyStrerror = nullptr;
    void *handle = nullptr;
    std::string error;

    CurlLibrary() {
        handle = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            const char *reason = dlerror();
            error = reason ? reason : "libcurl.so.4 not found";
            return;
        }
        bool complete = Bind(globalInit, "curl_global_init") && Bind(globalCleanup, "curl_global_cleanup") &&
                        Bind(easyInit, "curl_easy_init") && Bind(easySetopt, "curl_easy_setopt") &&
                        Bind(easyPerform, "curl_easy_perform") && Bind(easyGetinfo, "curl_easy_getinfo") &&
                        Bind(easyCleanup, "curl_easy_cleanup") && Bind(easyStrerror, "curl_easy_strerror");
        if (complete && globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            complete = false;
            error = "libcurl could not be initialised";
        }
        if (!complete) {
            dlclose(handle);
            handle = nullptr;
        }
    }
    ~CurlLibrary() {
        // The library stays mapped: its own exit handlers may still run after ours.
        if (handle)
            globalCleanup();
    }

    template <typename Function> bool Bind(Function &function, const char *name) {
        function = reinterpret_cast<Function>(dlsym(handle, name));
        if (!function)
            error = std::string("libcurl lacks ") + name;
        return function != nullptr;
    }
};

CurlLibrary &Curl() {
    static CurlLibrary library;
    if (!library.handle)
        Fail("Pages can be loaded from a URL only with libcurl (libcurl.so.4), which could not be loaded: " +
             library.error);
    return library;
}

// The time limit in seconds, from DEALSCOPE_URL_TIMEOUT when it is set: a whole number up to a day.
long TimeLimit() {
    constexpr long MAX_SECONDS = 86400;
    const char *text = std::getenv("DEALSCOPE_URL_TIMEOUT");
    if (!text || !*text)
        return DEFAULT_URL_TIME_LIMIT;
    std::string_view digits = text;
    if (digits.size() <= 5 && digits.find_first_not_of("0123456789") == std::string_view::npos) {
        long seconds = std::strtol(text, nullptr, 10);
        if (seconds > 0 && seconds <= MAX_SECONDS)
            return seconds;
    }
    Fail("DEALSCOPE_URL_TIMEOUT must be a whole number of seconds from 1 to " + std::to_string(MAX_SECONDS) +
         ", not \"" + std::string(digits) + "\".");
}

// Where the body goes. Nothing may be thrown through libcurl's C frames: a body too large or memory running out
// stops the transfer (a short count) and is told afterwards.
struct BodyTarget {
    std::string *bytes;
    size_t maxBytes;
    bool tooLarge = false;
    bool outOfMemory = false;
};

size_t AppendBody(char *data, size_t size, size_t count, void *target) {
    auto *body = static_cast<BodyTarget *>(target);
    size_t length = size * count;
    if (length > body->maxBytes - body->bytes->size()) {
        body->tooLarge = true;
        return 0;
    }
    try {
        body->bytes->append(data, length);
    } catch (const std::bad_alloc &) {
        body->outOfMemory = true;
        return 0;
    }
    return length;
}

class EasyHandle {
public:
    explicit EasyHandle(CurlLibrary &curl) : m_curl(curl), m_handle(curl.easyInit()) {
        if (!m_handle)
            Fail("libcurl could not start a transfer");
    }
    ~EasyHandle() { m_curl.easyCleanup(m_handle); }
    EasyHandle(const EasyHandle &) = delete;
    EasyHandle &operator=(const EasyHandle &) = delete;

    template <typename Value> void Set(CURLoption option, Value value) {
        CURLcode code = m_curl.easySetopt(m_handle, option, value);
        if (code != CURLE_OK)
            Fail(std::string("libcurl refused an option: ") + m_curl.easyStrerror(code));
    }
    CURL *Get() const { return m_handle; }

private:
    CurlLibrary &m_curl;
    CURL *m_handle;
};

} // namespace

FetchedPage FetchUrl(std::string_view url, size_t maxBytes) {
    CurlLibrary &curl = Curl();
    EasyHandle easy(curl);
    FetchedPage page;
    std::string address(url);
    char errorText[CURL_ERROR_SIZE] = {};
    long timeLimit = TimeLimit();

    easy.Set(CURLOPT_URL, address.c_str());
    easy.Set(CURLOPT_PROTOCOLS_STR, "http,https,file");
    easy.Set(CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    easy.Set(CURLOPT_FOLLOWLOCATION, 1L);
    easy.Set(CURLOPT_MAXREDIRS, 20L);
    easy.Set(CURLOPT_CONNECTTIMEOUT, std::min(timeLimit, DEFAULT_CONNECT_TIME_LIMIT));
    easy.Set(CURLOPT_TIMEOUT, timeLimit);
    easy.Set(CURLOPT_NOSIGNAL, 1L);
    easy.Set(CURLOPT_FAILONERROR, 1L);
    easy.Set(CURLOPT_ACCEPT_ENCODING, "");
    easy.Set(CURLOPT_USERAGENT, "Dealscope/1.0");
    easy.Set(CURLOPT_ERRORBUFFER, errorText);
    easy.Set(CURLOPT_WRITEFUNCTION, &AppendBody);
    BodyTarget body{&page.bytes, maxBytes};
    easy.Set(CURLOPT_WRITEDATA, static_cast<void *>(&body));
    // A declared length above the limit ends the transfer before the body comes.
    easy.Set(CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(maxBytes));

    CURLcode code = curl.easyPerform(easy.Get());
    if (body.outOfMemory)
        throw std::bad_alloc();
    if (body.tooLarge || code == CURLE_FILESIZE_EXCEEDED)
        Fail("The page could not be loaded: it is larger than " + std::to_string(maxBytes) + " bytes.");
    if (code != CURLE_OK) {
        std::string reason = errorText[0] ? errorText : curl.easyStrerror(code);
        if (code == CURLE_OPERATION_TIMEDOUT)
            reason = "no answer within " + std::to_string(timeLimit) + " seconds (" + reason + ")";
        Fail("The page could not be loaded: " + reason + ".");
    }
    char *contentType = nullptr;
    if (curl.easyGetinfo(easy.Get(), CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK && contentType)
        page.contentType = contentType;
    char *effective = nullptr;
    if (curl.easyGetinfo(easy.Get(), CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        page.effectiveUrl = effective;
    else
        page.effectiveUrl = address;
    return page;
}
