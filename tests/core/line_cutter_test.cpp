#include "components/line_cutter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lanvoy {
namespace {

struct Piece {
  std::string text;
  TOutputType type;
  TReturnCode end;  // for complete lines
  bool operator==(const Piece& o) const {
    return text == o.text && type == o.type && (type == PartialLine || end == o.end);
  }
};

std::ostream& operator<<(std::ostream& os, const Piece& p) {
  return os << (p.type == CompleteLine ? "complete(" : "partial(") << p.text << ")";
}

class LineCutterTest : public ::testing::Test {
 protected:
  void Cut(std::string_view bytes) {
    cutter_.Cut(bytes, [&](const std::string& piece, TOutputType type) {
      pieces_.push_back({piece, type, cutter_.ReturnCode()});
    });
  }
  Piece Complete(const std::string& text, TReturnCode end) { return {text, CompleteLine, end}; }
  Piece Partial(const std::string& text) { return {text, PartialLine, rcCRLF}; }

  TLineCutter cutter_;
  std::vector<Piece> pieces_;
};

TEST_F(LineCutterTest, LineEndsOfOneRead) {
  Cut("a\r\nb\r\n");
  EXPECT_EQ(pieces_, (std::vector<Piece>{Complete("a", rcCRLF), Complete("b", rcCRLF)}));
  EXPECT_EQ(cutter_.ReturnCode(), rcCRLF);
  pieces_.clear();
  Cut("c\nd\re\n\r");
  EXPECT_EQ(pieces_, (std::vector<Piece>{Complete("c", rcLF), Complete("d", rcLF),
                                         Complete("e", rcLF), Complete("", rcLF)}));
  EXPECT_TRUE(cutter_.EndedWithCR());
}

TEST_F(LineCutterTest, TwoLineEndsInARowGiveAnEmptyLine) {
  Cut("a\n\nb\r\n\r\n");
  EXPECT_EQ(pieces_, (std::vector<Piece>{Complete("a", rcLF), Complete("", rcLF),
                                         Complete("b", rcCRLF), Complete("", rcCRLF)}));
}

TEST_F(LineCutterTest, PairSplitAcrossReadsEndsOneLine) {
  Cut("a\r");
  EXPECT_EQ(pieces_, (std::vector<Piece>{Complete("a", rcLF)}));
  EXPECT_TRUE(cutter_.EndedWithCR());
  Cut("\nb\n");
  EXPECT_EQ(pieces_, (std::vector<Piece>{Complete("a", rcLF), Complete("b", rcLF)}));
  EXPECT_FALSE(cutter_.EndedWithCR());
}

TEST_F(LineCutterTest, OnlyTheFirstByteAfterACrIsDropped) {
  Cut("a\r");
  Cut("x\n");  // not an LF first: nothing dropped
  Cut("\n");   // the read before ended in LF, not CR: this LF ends an empty line
  EXPECT_EQ(pieces_,
            (std::vector<Piece>{Complete("a", rcLF), Complete("x", rcLF), Complete("", rcLF)}));
  pieces_.clear();
  Cut("b\r");
  Cut("");  // an empty read examines nothing and forgets the CR
  Cut("\n");
  EXPECT_EQ(pieces_, (std::vector<Piece>{Complete("b", rcLF), Complete("", rcLF)}));
}

TEST_F(LineCutterTest, NulBytesVanish) {
  Cut(std::string_view("a\0b\r\0\n\0", 7));
  // The NUL between CR and LF parts them: the CR ends "ab", the LF an empty line.
  EXPECT_EQ(pieces_, (std::vector<Piece>{Complete("ab", rcLF), Complete("", rcLF)}));
  EXPECT_FALSE(cutter_.EndedWithCR());
  EXPECT_EQ(cutter_.Pending(), "");
}

TEST_F(LineCutterTest, PartialPiecesGrowUntilTheLineEnds) {
  Cut("abc");
  Cut("de");
  EXPECT_EQ(cutter_.Pending(), "abcde");
  Cut("f\r\ng");
  EXPECT_EQ(pieces_, (std::vector<Piece>{Partial("abc"), Partial("abcde"),
                                         Complete("abcdef", rcCRLF), Partial("g")}));
  EXPECT_EQ(cutter_.Pending(), "g");
}

TEST_F(LineCutterTest, StopRequestEndsTheExaminationEarly) {
  int examined = 0;
  cutter_.Cut(
      "a\nb\nc\n",
      [&](const std::string& piece, TOutputType type) {
        pieces_.push_back({piece, type, rcLF});
      },
      [&] { return ++examined > 3; });
  EXPECT_EQ(pieces_, (std::vector<Piece>{Complete("a", rcLF), Partial("b")}));
}

}  // namespace
}  // namespace lanvoy
