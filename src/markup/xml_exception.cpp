#include "markup/xml_exception.h"

#include <algorithm>
#include <utility>

#include "platform/wide_text.h"

namespace NKXML {

CXMLException::CXMLException(int position, std::u16string message)
    : m_strMessage(std::move(message)), m_nPosition(position), m_utf8(platform::Utf16ToUtf8(m_strMessage)) {}

bool CXMLException::GetErrorMessage(char16_t *buffer, unsigned maxChars, unsigned *helpContext) const {
    if (helpContext)
        *helpContext = 0;
    if (!buffer || maxChars == 0)
        return true;
    std::u16string_view text = m_strMessage;
    if (text.empty())
        text = u"Encountered syntax that is not supported";
    size_t n = std::min<size_t>(text.size(), maxChars - 1);
    std::copy_n(text.data(), n, buffer);
    buffer[n] = 0;
    return true;
}

const char *CXMLException::what() const noexcept {
    return m_utf8.empty() ? "Encountered syntax that is not supported" : m_utf8.c_str();
}

void ThrowXMLException(int position, const char16_t *message) {
    throw CXMLException(position, message ? std::u16string(message) : std::u16string());
}

void ThrowUnexpectedChar(char16_t c, int position) {
    std::u16string message = u"Unexpected char: ";
    message += c;
    message += u'\n';
    throw CXMLException(position, std::move(message));
}

} // namespace NKXML
