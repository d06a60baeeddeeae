// libFuzzer target for IsGoodXML on memory input: any bytes must end in a document that
// parsed without error or in no document, without a crash or a hang, and after at most
// three parses (as downloaded, after normalisation, after one patch). The repair patches
// and the element access functions are exercised on what comes out. Built by
// tests/fuzz/build_xml.sh.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "shell/base/Log.h"
#include "update/core/XML_Qn.h"
#include "update/core/XmlRepair.h"

static void Walk(const XmlNode* node, int depth) {
    if (depth > 64) return;
    for (const XmlNode* n = node->FirstChild; n; n = n->NextSibling) {
        (void)XmlText(n);
        (void)XmlAttribute(n, "version", 1);
        (void)XmlChild(n, "title", 1);
        Walk(n, depth + 1);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string block(reinterpret_cast<const char*>(data), size);
    Log_Reset();
    const uint64_t before = Xml_ParseCount();
    auto doc = IsGoodXML("fuzz", &block, static_cast<int64_t>(size));
    const uint64_t parses = Xml_ParseCount() - before;
    if (parses > 3) std::abort();
    if (size == 0 && parses != 0) std::abort();
    if (doc) {
        if (doc->ErrorCode() != 0) std::abort();
        Walk(doc->Main(), 0);
    }
    // Each patch grows the text by at most its own replacement.
    if (XmlPatch_InvalidToken(block).size() > block.size() * 5) std::abort();
    if (XmlPatch_UnclosedToken(block).size() > block.size() * 3 / 2 + 1) std::abort();
    (void)XmlPatch_UndefinedEntity(block);
    (void)XmlPatch_UnknownEncoding(block);
    (void)PeekPage(&block, static_cast<int64_t>(size), 0);
    return 0;
}
