// A small XML document tree over expat: parse from memory, build, serialise.
// Nodes are numbered; node 0 is the document node. No operating system here.
#pragma once
#include <stddef.h>
#include <string>
#include <vector>

struct XmlAttribute {
  std::string name, value;
};

struct XmlNode {
  std::string name;  // element name; empty for the document node
  std::string text;  // the character data directly inside this element
  std::vector<XmlAttribute> attributes;  // in document order
  int parent = -1;
  int firstChild = -1;
  int lastChild = -1;
  int nextSibling = -1;
};

struct XmlDoc {
  std::vector<XmlNode> nodes;  // nodes[0] is the document node
  XmlDoc() { nodes.resize(1); }
};

// Appends a new element as the last child of `parent`; returns its number, or -1.
int XmlAddElement(XmlDoc& doc, int parent, const char* name);

// Parses `len` bytes as one UTF-8 document, whatever encoding it declares.
// The elements built before an error stay in the tree. Returns false on error;
// `error`, when given, then tells the line and expat's reason.
bool XmlParse(XmlDoc& doc, const char* text, size_t len, std::string* error = nullptr);

// The first element child of the document node, or -1.
int XmlRootElement(const XmlDoc& doc);

// The first child element of `parent` named exactly `name`, or -1; and the
// next sibling after `node` with that name.
int XmlFirstChildNamed(const XmlDoc& doc, int parent, const char* name);
int XmlNextSiblingNamed(const XmlDoc& doc, int node, const char* name);

// Serialised form of an element and everything below it: compact, no
// declaration, attributes in double quotes, "&", "<", ">" (and '"' in
// attributes) escaped, empty elements as <name/>.
// XmlSerializedLength is the exact byte count XmlSerialize writes.
size_t XmlSerializedLength(const XmlDoc& doc, int node);
// Writes at most `capacity` bytes; returns the number written, 0 if it does not fit.
size_t XmlSerialize(const XmlDoc& doc, int node, char* out, size_t capacity);
