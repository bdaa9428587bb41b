#include "conversion/dsc_doc.h"

#include "platform/code_page.h"
#include "platform/settings.h"

namespace {

const SystemClock g_systemClock;

// The names the conversion searches by, in the order of DocumentAtom.
constexpr const char16_t *ATOM_NAMES[ATOM_COUNT] = {u"div", u"id", u"class", u"span", u"table", u"tbody", u"tr", u"td"};

// The longest file name, its terminating NUL included, that a default name may have.
constexpr size_t MAX_FILE_NAME = 260;

} // namespace

CDSCDoc::CDSCDoc() : m_parser(true), m_pClock(&g_systemClock) {
    m_nRecapOption = platform::AppSettings().GetInt("Settings", "RecapOption", RECAP_OMIT);
}

CDSCDoc::~CDSCDoc() = default;

void CDSCDoc::SetClock(const IClock *clock) {
    m_pClock = clock ? clock : &g_systemClock;
}

void CDSCDoc::DeleteContents() {
    m_strHtml.clear();
    m_strRawHtml.clear();
    m_strStatus.clear();
    m_parser.Reset();
    m_scoreTable.index.Clear(); // its cells were nodes of the tree just dropped
    m_ddResults.clear();
    m_strPbn.clear();
    m_strTextReport.clear();
    m_bConverted = false;
    m_bPageLoaded = false;
}

void CDSCDoc::LoadFromView(IPageSource &view) {
    m_bPageLoaded = true;
    m_strURL = view.GetLocationURL();
    m_strRawHtml.clear();
    if (!view.GetRawSource(m_strRawHtml))
        m_strRawHtml.clear();
    // The bytes are kept whole for saving; the text ends at the first zero byte.
    std::string_view bytes = m_strRawHtml;
    bytes = bytes.substr(0, bytes.find('\0'));
    m_strHtml = platform::ConvertFromCodePage(bytes, view.GetDocumentCodePage());

    m_parser.Reset();
    m_strStatus.clear();
    m_ddResults.clear();
    try {
        m_parser.Parse(m_strHtml.c_str(), static_cast<int>(m_strHtml.size()));
    } catch (const NKXML::CXMLException &exception) {
        // A markup error ends the parse, not the load: the boards before it are still converted.
        m_strStatus = m_parser.FormatError(exception);
    }

    for (int index = 0; index < ATOM_COUNT; ++index) {
        uint16_t atom = m_parser.FindAtom(ATOM_NAMES[index]);
        if (atom == 0) {
            if (m_strStatus.empty())
                m_strStatus = STATUS_EXPECTED_TAGS_NOT_FOUND;
            // Interning the name lets a search for it find nothing instead of failing. A page that filled the
            // name table leaves no room for it: the status says so and the conversion finds no boards.
            try {
                atom = m_parser.AddAtom(ATOM_NAMES[index]);
            } catch (const NKXML::CXMLException &exception) {
                m_strStatus = m_parser.FormatError(exception);
                atom = 0;
            }
        }
        m_atoms[index] = atom;
    }

    Convert();
    OnPageConverted(view);
}

void CDSCDoc::OnPageConverted(IPageSource &) {}

bool CDSCDoc::HasAllAtoms() const {
    for (uint16_t atom : m_atoms)
        if (atom == 0)
            return false;
    return true;
}

std::u16string CDSCDoc::GetDefaultFileName(std::u16string_view extension) const {
    size_t slash = m_strURL.rfind(u'/');
    if (slash == std::u16string::npos)
        return {};
    std::u16string_view segment = std::u16string_view(m_strURL).substr(slash + 1);
    segment = segment.substr(0, segment.find(u'?'));
    if (segment.empty())
        return {};
    // The extension begins at the last '.' that no blank or backslash follows, as the shell's path functions
    // read it.
    size_t dot = std::u16string_view::npos;
    for (size_t i = 0; i < segment.size(); ++i) {
        if (segment[i] == u'.')
            dot = i;
        else if (segment[i] == u' ' || segment[i] == u'\\')
            dot = std::u16string_view::npos;
    }
    std::u16string name(segment.substr(0, dot));
    name += extension;
    if (name.size() + 1 > MAX_FILE_NAME)
        return std::u16string(segment);
    return name;
}
