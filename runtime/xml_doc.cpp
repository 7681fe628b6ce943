#include "runtime/xml_doc.h"

#include <expat.h>
#include <stdio.h>
#include <string.h>

//-----------------------------------------------------------------------------
// Building
//-----------------------------------------------------------------------------

int XmlAddElement(XmlDoc& doc, int parent, const char* name) {
  if (parent < 0 || parent >= (int)doc.nodes.size()) return -1;
  int id = (int)doc.nodes.size();
  doc.nodes.emplace_back();
  XmlNode& node = doc.nodes[id];
  node.name = name;
  node.parent = parent;
  XmlNode& p = doc.nodes[parent];
  if (p.lastChild >= 0) doc.nodes[p.lastChild].nextSibling = id;
  else p.firstChild = id;
  p.lastChild = id;
  return id;
}

//-----------------------------------------------------------------------------
// Parsing
//-----------------------------------------------------------------------------

struct ParseState {
  XmlDoc* doc;
  int current;
};

static void XMLCALL OnStart(void* user, const XML_Char* name, const XML_Char** attributes) {
  ParseState* s = (ParseState*)user;
  int id = XmlAddElement(*s->doc, s->current, name);
  if (id < 0) return;
  s->current = id;
  for (int i = 0; attributes && attributes[i] && attributes[i + 1]; i += 2)
    s->doc->nodes[id].attributes.push_back(XmlAttribute{attributes[i], attributes[i + 1]});
}

static void XMLCALL OnEnd(void* user, const XML_Char*) {
  ParseState* s = (ParseState*)user;
  if (s->current > 0) s->current = s->doc->nodes[s->current].parent;
}

static void XMLCALL OnText(void* user, const XML_Char* text, int len) {
  ParseState* s = (ParseState*)user;
  if (s->current > 0) s->doc->nodes[s->current].text.append(text, (size_t)len);
}

bool XmlParse(XmlDoc& doc, const char* text, size_t len, std::string* error) {
  XML_Parser parser = XML_ParserCreate("UTF-8");
  if (!parser) return false;
  ParseState state = {&doc, 0};
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(parser, OnStart, OnEnd);
  XML_SetCharacterDataHandler(parser, OnText);
  // Feed in pieces that fit expat's int length.
  bool ok = true;
  const size_t kPiece = 1 << 30;
  do {
    size_t n = len < kPiece ? len : kPiece;
    len -= n;
    if (XML_Parse(parser, text, (int)n, len == 0) != XML_STATUS_OK) ok = false;
    text += n;
  } while (ok && len > 0);
  if (!ok && error) {
    char line[32];
    snprintf(line, sizeof line, "line %lu: ", (unsigned long)XML_GetCurrentLineNumber(parser));
    *error = std::string(line) + XML_ErrorString(XML_GetErrorCode(parser));
  }
  XML_ParserFree(parser);
  return ok;
}

//-----------------------------------------------------------------------------
// Walking
//-----------------------------------------------------------------------------

int XmlRootElement(const XmlDoc& doc) { return doc.nodes[0].firstChild; }

int XmlFirstChildNamed(const XmlDoc& doc, int parent, const char* name) {
  if (parent < 0 || parent >= (int)doc.nodes.size()) return -1;
  for (int c = doc.nodes[parent].firstChild; c >= 0; c = doc.nodes[c].nextSibling)
    if (doc.nodes[c].name == name) return c;
  return -1;
}

int XmlNextSiblingNamed(const XmlDoc& doc, int node, const char* name) {
  if (node < 0 || node >= (int)doc.nodes.size()) return -1;
  for (int c = doc.nodes[node].nextSibling; c >= 0; c = doc.nodes[c].nextSibling)
    if (doc.nodes[c].name == name) return c;
  return -1;
}

//-----------------------------------------------------------------------------
// Serialising
//-----------------------------------------------------------------------------

// One writer for both passes: with out == nullptr it only counts.
struct Writer {
  char* out;
  size_t capacity;
  size_t length;
  bool overflow;
  void Put(const char* s, size_t n) {
    if (out) {
      if (length + n > capacity) { overflow = true; return; }
      memcpy(out + length, s, n);
    }
    length += n;
  }
  void Put(const std::string& s) { Put(s.data(), s.size()); }
  void PutEscaped(const std::string& s) {
    for (char c : s) {
      if (c == '&') Put("&amp;", 5);
      else if (c == '<') Put("&lt;", 4);
      else if (c == '>') Put("&gt;", 4);
      else if (c == '"') Put("&quot;", 6);
      else Put(&c, 1);
    }
  }
  void PutStartTag(const XmlNode& n) {
    Put("<", 1), Put(n.name);
    for (const XmlAttribute& a : n.attributes) Put(" ", 1), Put(a.name), Put("=\"", 2), PutEscaped(a.value), Put("\"", 1);
  }
};

// Walks the subtree without recursion, so a deep tree cannot exhaust the stack.
static void WriteElement(const XmlDoc& doc, int root, Writer& w) {
  int node = root;
  for (;;) {
    const XmlNode& n = doc.nodes[node];
    w.PutStartTag(n);
    if (n.firstChild < 0 && n.text.empty()) {
      w.Put("/>", 2);
    } else {
      w.Put(">", 1);
      w.PutEscaped(n.text);
      if (n.firstChild >= 0) { node = n.firstChild; continue; }
      w.Put("</", 2), w.Put(n.name), w.Put(">", 1);
    }
    // Climb until a node with a next sibling, closing the parents on the way.
    while (node != root && doc.nodes[node].nextSibling < 0) {
      node = doc.nodes[node].parent;
      w.Put("</", 2), w.Put(doc.nodes[node].name), w.Put(">", 1);
    }
    if (node == root) return;
    node = doc.nodes[node].nextSibling;
  }
}

size_t XmlSerializedLength(const XmlDoc& doc, int node) {
  if (node <= 0 || node >= (int)doc.nodes.size()) return 0;
  Writer w = {nullptr, 0, 0, false};
  WriteElement(doc, node, w);
  return w.length;
}

size_t XmlSerialize(const XmlDoc& doc, int node, char* out, size_t capacity) {
  if (node <= 0 || node >= (int)doc.nodes.size() || !out) return 0;
  Writer w = {out, capacity, 0, false};
  WriteElement(doc, node, w);
  return w.overflow ? 0 : w.length;
}
