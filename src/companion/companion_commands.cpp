#include "companion/companion_commands.h"

#include "companion/double_dummy_analysis.h"
#include "companion/handoff.h"
#include "companion/temp_pbn_file.h"
#include "conversion/dsc_doc.h"

namespace {
std::u16string DefaultPbnName(const CDSCDoc &doc) {
    return doc.GetDefaultFileName(u".pbn");
}
} // namespace

bool OnUpdateOpenWithTricksmith(const CDSCDoc &doc) {
    return doc.m_bConverted;
}

bool OnUpdateDoubleDummyAll(const CDSCDoc &doc) {
    return doc.m_bConverted && doc.m_ddResults.empty();
}

int CreateTempPbnFile(const CDSCDoc &doc, std::string &path) {
    return companion::CreateTempPbnFile(DefaultPbnName(doc), path);
}

std::string WriteTempPbn(const CDSCDoc &doc) {
    return companion::WriteTempPbn(doc.m_strPbn, DefaultPbnName(doc));
}

void OnOpenWithTricksmith(CDSCDoc &doc) {
    companion::HandOffToTricksmith(doc.m_strPbn, DefaultPbnName(doc));
}

bool OnDoubleDummyAll(CDSCDoc &doc) {
    // The file is written before the companion is looked for, so a batch run on a page that did not convert
    // still asks the companion.
    std::string path = WriteTempPbn(doc);
    // The results arrive whole or not at all: a failure part way leaves the document as it was.
    companion::DoubleDummyResults results =
        companion::RunDoubleDummyAnalysis(path, companion::CountPbnBoards(doc.m_strPbn));
    doc.m_ddResults = std::move(results);
    if (doc.m_ddResults.empty())
        return false;
    doc.Convert();
    return true;
}
