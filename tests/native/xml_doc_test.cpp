#include "runtime/xml_doc.h"

#include <gtest/gtest.h>

static std::string Serialize(const XmlDoc& doc, int node) {
  std::string out(XmlSerializedLength(doc, node), '\0');
  EXPECT_EQ(XmlSerialize(doc, node, &out[0], out.size()), out.size());
  return out;
}

TEST(XmlDoc, SerialisesCompactlyWithEscapesAndEmptyTags) {
  XmlDoc doc;
  int root = XmlAddElement(doc, 0, "root");
  doc.nodes[XmlAddElement(doc, root, "a")].text = "x<&>y";
  XmlAddElement(doc, root, "empty");
  int b = XmlAddElement(doc, root, "b");
  doc.nodes[XmlAddElement(doc, XmlAddElement(doc, b, "c"), "d")].text = "\xC3\xA9";
  EXPECT_EQ(Serialize(doc, root),
            "<root><a>x&lt;&amp;&gt;y</a><empty/><b><c><d>\xC3\xA9</d></c></b></root>");
  // Too small a buffer writes nothing useful and says so.
  char small[8];
  EXPECT_EQ(XmlSerialize(doc, root, small, sizeof small), 0u);
  EXPECT_EQ(XmlSerializedLength(doc, 0), 0u);
  EXPECT_EQ(XmlSerializedLength(doc, 99), 0u);
}

TEST(XmlDoc, ParseRoundTripAndNamedLookups) {
  const char text[] = "<r><x>1</x><y>2</y><x>3</x></r>";
  XmlDoc doc;
  ASSERT_TRUE(XmlParse(doc, text, sizeof text - 1));
  int root = XmlRootElement(doc);
  EXPECT_EQ(Serialize(doc, root), text);
  int x = XmlFirstChildNamed(doc, root, "x");
  EXPECT_EQ(doc.nodes[x].text, "1");
  EXPECT_EQ(doc.nodes[XmlNextSiblingNamed(doc, x, "x")].text, "3");
  EXPECT_EQ(XmlFirstChildNamed(doc, root, "X"), -1);  // names are case-sensitive
}

TEST(XmlDoc, BrokenTextKeepsWhatWasBuilt) {
  const char text[] = "<r><a>1</a><b>2</b><c>";
  XmlDoc doc;
  EXPECT_FALSE(XmlParse(doc, text, sizeof text - 1));
  int root = XmlRootElement(doc);
  ASSERT_GT(root, 0);
  EXPECT_EQ(doc.nodes[XmlFirstChildNamed(doc, root, "b")].text, "2");

  XmlDoc empty;
  EXPECT_FALSE(XmlParse(empty, "garbage", 7));
  EXPECT_EQ(XmlRootElement(empty), -1);
}

TEST(XmlDoc, DeepNestingNeitherOverflowsTheStackNorFails) {
  std::string text;
  const int depth = 200000;
  for (int i = 0; i < depth; i++) text += "<a>";
  for (int i = 0; i < depth; i++) text += "</a>";
  XmlDoc doc;
  ASSERT_TRUE(XmlParse(doc, text.data(), text.size()));
  // The innermost element has no children: it is written as <a/>.
  EXPECT_EQ(XmlSerializedLength(doc, XmlRootElement(doc)), text.size() - 3);
}

TEST(XmlDoc, AttributesInDocumentOrderAndParseErrors) {
  const char text[] = "<r b='2' a=\"x&amp;&quot;\"><c/></r>";
  XmlDoc doc;
  ASSERT_TRUE(XmlParse(doc, text, sizeof text - 1));
  const XmlNode& r = doc.nodes[XmlRootElement(doc)];
  ASSERT_EQ(r.attributes.size(), 2u);
  EXPECT_EQ(r.attributes[0].name, "b");
  EXPECT_EQ(r.attributes[1].value, "x&\"");
  EXPECT_EQ(Serialize(doc, XmlRootElement(doc)), "<r b=\"2\" a=\"x&amp;&quot;\"><c/></r>");

  std::string error;
  XmlDoc bad;
  EXPECT_FALSE(XmlParse(bad, "<a>\n<b></a>", 11, &error));
  EXPECT_EQ(error, "line 2: mismatched tag");
}
