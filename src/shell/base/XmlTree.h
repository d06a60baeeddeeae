// A small document tree over expat, the shape every XML reader of the program walks:
// a document has a main node; a node has a type, a name, a text, attributes, a first
// child and a next sibling. Parse errors carry expat's code, message, line and column.
#pragma once
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum XmlNodeType {
    XML_NODE_ROOT = 0,
    XML_NODE_ELEMENT = 1,
    XML_NODE_CDATA = 2,
    XML_NODE_COMMENT = 3,
    XML_NODE_INSTRUCTION = 4,
};

class XmlDocument;

struct XmlAttr {
    std::string Name;
    std::string Value;
};

struct XmlNode {
    XmlNodeType Type = XML_NODE_ELEMENT;
    std::string Name; // element name as written (prefix included), or the PI target
    std::string Text; // character data directly inside an element; a CDATA section's text
    std::vector<XmlAttr> Attributes;
    XmlNode* Parent = nullptr;
    XmlNode* FirstChild = nullptr;
    XmlNode* LastChild = nullptr;
    XmlNode* NextSibling = nullptr;
    XmlDocument* Owner = nullptr; // the document that allocated the node
    // Length of the parent's Text when this node began: where it stands among the
    // parent's character data, so that mixed content can be written back in order.
    size_t TextOffset = 0;
};

class XmlDocument {
  public:
    XmlDocument();
    // The main node (type root); its children are the top-level nodes.
    XmlNode* Main() { return m_root; }
    const XmlNode* Main() const { return m_root; }
    // The first element under the main node, or nullptr.
    XmlNode* RootElement() const;
    // 0 on success, else expat's error code.
    int ErrorCode() const { return m_errorCode; }
    const std::string& ErrorMessage() const { return m_errorMessage; }
    long ErrorLine() const { return m_errorLine; }
    long ErrorColumn() const { return m_errorColumn; }
    // Appends a new node as the last child of `parent`.
    XmlNode* NewChild(XmlNode* parent, XmlNodeType type, std::string_view name);
    // Nodes allocated so far, the main node included.
    size_t NodeCount() const { return m_nodes.size(); }
    void SetError(int code, std::string message, long line, long column);

  private:
    friend struct XmlBuilder;
    std::deque<XmlNode> m_nodes;
    XmlNode* m_root;
    int m_errorCode = 0;
    std::string m_errorMessage;
    long m_errorLine = 0;
    long m_errorColumn = 0;
};

// Bounds of a document tree: a document nested deeper, or with more nodes, is refused as
// not well-formed (error XML_TREE_TOO_DEEP / XML_TREE_TOO_LARGE, parse stopped at once),
// so a hostile feed can neither exhaust memory nor the stack of a recursive reader.
inline constexpr int XML_TREE_MAX_DEPTH = 4096;
inline constexpr size_t XML_TREE_MAX_NODES = 1000000;
// Error codes of those refusals, beyond expat's own codes.
inline constexpr int XML_TREE_TOO_DEEP = 1001;
inline constexpr int XML_TREE_TOO_LARGE = 1002;

// Parses bytes; the encoding comes from the document (byte-order mark or declaration,
// UTF-8 when neither). Always returns a document: check ErrorCode().
std::unique_ptr<XmlDocument> Xml_ParseBytes(std::string_view bytes);
// Parses a UTF-8 text; any encoding declaration in it is overridden.
std::unique_ptr<XmlDocument> Xml_ParseUtf8(std::string_view text);
// How many parses this process has run (the fuzz target bounds the repair loop with it).
uint64_t Xml_ParseCount();
