// Write statements through a real file: where formatted records stop when the
// items run out, where skips, literals and breaks land, and where
// list-directed records break at column 80.
#include "dialogue/textio/write.hpp"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "dialogue/textio/channel.hpp"
#include "support/program_run.hpp"

namespace sitewave::textio {
namespace {

constexpr int unit = 21;

// What the file holds after `statements` wrote to it on `unit`.
template <class F>
std::string written_by(F statements) {
  const testing::scratch_dir dir;
  open(unit, (dir / "out.csv").string(), open_status::unknown);
  statements();
  close(unit);
  return dir.read("out.csv");
}

constexpr layout amp_row{"(F8.4,6(',',E12.4))"};
constexpr layout wave_row{"(F10.5,3(',',E12.4))"};

TEST(FormattedWrite, StopsAtTheFirstFieldWithoutAnItem) {
  EXPECT_EQ(written_by([] { write_formatted(unit, amp_row, 0.5f, 1.f, 2.f, 3.f, 4.f); }),
            "  0.5000,  0.1000E+01,  0.2000E+01,  0.3000E+01,  0.4000E+01,\n");  // 61
  EXPECT_EQ(written_by([] { write_formatted(unit, amp_row, 0.5f, 1.f, 2.f, 3.f); }),
            "  0.5000,  0.1000E+01,  0.2000E+01,  0.3000E+01,\n");  // 48
  EXPECT_EQ(written_by([] { write_formatted(unit, wave_row, 0.01f, 0.f, -1.f, 2.f); }),
            "   0.01000,  0.0000E+00, -0.1000E+01,  0.2000E+01\n");
  EXPECT_EQ(written_by([] { write_formatted(unit, amp_row); }), "\n");
}

TEST(FormattedWrite, GroupFieldsRepeatWithoutSeparators) {
  constexpr layout layer_row{"(I6,F9.3,2(F9.2,F9.3,F7.3),F12.3)"};
  EXPECT_EQ(written_by([&] {
              write_formatted(unit, layer_row, 1, 1.8f, 1500.f, 20.f, 0.5f, 300.f, 10.f, .25f, 5.f);
            }),
            "     1    1.800  1500.00   20.000  0.500   300.00   10.000  0.250       5.000\n");
}

TEST(FormattedWrite, RecordBreaksAndLiteralsAroundFields) {
  constexpr layout prompt{"(/,1X,'Enter Wave Data (H1,H2,V1; e.g., wave.csv)')"};
  EXPECT_EQ(written_by([&] { write_formatted(unit, prompt); }),
            "\n Enter Wave Data (H1,H2,V1; e.g., wave.csv)\n");
  constexpr layout layers{"(/,'   Total Number of Layers =',I5,/,'   Layer')"};
  EXPECT_EQ(written_by([&] { write_formatted(unit, layers, 3); }),
            "\n   Total Number of Layers =    3\n   Layer\n");
  constexpr layout quoted{"('it''s',I2,'t=',F4.1,'s')"};
  EXPECT_EQ(written_by([&] { write_formatted(unit, quoted, 7); }), "it's 7t=\n");
  // A break that ends the layout leaves an empty record for the stop to end.
  constexpr layout each_on_a_line{"(2(I2,/))"};
  EXPECT_EQ(written_by([&] { write_formatted(unit, each_on_a_line, 1, 2); }), " 1\n 2\n\n");
}

TEST(FormattedWrite, SkipsBecomeBlanksOnlyBeforeSomethingWritten) {
  constexpr layout between{"(I3,2X,1X,I3)"};
  EXPECT_EQ(written_by([&] { write_formatted(unit, between, 1, 2); }), "  1     2\n");
  EXPECT_EQ(written_by([&] { write_formatted(unit, between, 1); }), "  1\n");
  constexpr layout before_break{"(2X,/,'a',3X)"};
  EXPECT_EQ(written_by([&] { write_formatted(unit, before_break); }), "\na\n");
}

TEST(FormattedWrite, ExtraItemsStartTheLayoutAgainAndWrongKindsShowAsterisks) {
  constexpr layout one{"(I3)"};
  EXPECT_EQ(written_by([&] { write_formatted(unit, one, 1, 2, 3); }), "  1\n  2\n  3\n");
  constexpr layout mixed{"(I3,F5.1)"};
  EXPECT_EQ(written_by([&] { write_formatted(unit, mixed, 1.5f, 2); }), "********\n");
}

TEST(FormattedWrite, ThirtyThreeThousandRowsTakeWellUnderASecond) {
  // Processor time, so that other work on the machine does not count.
  const std::clock_t start = std::clock();
  const std::string all = written_by([] {
    for (int i = 0; i < 33000; ++i) {
      const float t = static_cast<float>(i) * 0.01f;
      write_formatted(unit, wave_row, t, -t, t * 3.0f, 1.0e-3f);
    }
  });
  const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  EXPECT_EQ(all.size(), 33000u * 50);
  EXPECT_LT(seconds, 1.0);
}

TEST(ListWrite, ItemsInTheirNaturalForms) {
  EXPECT_EQ(written_by([] { write_list(unit, "NT and DT=", 1000, 0.01f); }),
            " NT and DT= 1000  0.00999999978\n");
  EXPECT_EQ(written_by([] {
              write_list(unit, " DUR,DOM,NOM,EOM=", 10.24f, 0.613592327f, 513, 314.772858f);
            }),
            "  DUR,DOM,NOM,EOM=  10.2399998  0.613592327 513  314.772858\n");
  const text<10> head = make_text<10>("H1");
  EXPECT_EQ(written_by([&] { write_list(unit, -12, head, ",", 30.f); }), " -12H1        ,  30.\n");
  EXPECT_EQ(written_by([] {
              write_list(unit);
              write_list(unit, "x");
            }),
            "\n x\n");
}

TEST(ListWrite, BreaksBeforeAnItemThatWouldReachColumnEighty) {
  // An integer counts only its digits, a real its whole rendered length
  // (13 here), a text its characters; a text on a new record gets its blank.
  const std::string t77(77, 'a'), t65(65, 'b'), t66(66, 'b'), t70(70, 'c');
  EXPECT_EQ(written_by([&] { write_list(unit, t77, -5); }), " " + t77 + " -5\n");
  EXPECT_EQ(written_by([&] { write_list(unit, t77, 12); }), " " + t77 + "\n 12\n");
  EXPECT_EQ(written_by([&] { write_list(unit, t65, 0.1f); }), " " + t65 + "  0.100000001\n");
  EXPECT_EQ(written_by([&] { write_list(unit, t66, 0.1f); }), " " + t66 + "\n  0.100000001\n");
  EXPECT_EQ(written_by([&] { write_list(unit, t70, "12345678"); }), " " + t70 + "12345678\n");
  EXPECT_EQ(written_by([&] { write_list(unit, t70, "123456789"); }), " " + t70 + "\n 123456789\n");
}

TEST(ListWrite, AnItemIsNeverSplit) {
  const std::string t300(300, 'd');
  EXPECT_EQ(written_by([&] { write_list(unit, 1, t300, 2); }), " 1\n " + t300 + "\n 2\n");
}

}  // namespace
}  // namespace sitewave::textio
