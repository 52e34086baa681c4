// A card table edited by hand (while a preview is open, say, before printing from it): the
// report lays out what it finds or stops with a message naming the record, and never crashes
// or hangs, both for the preview and for printing.

#include "ReportFixture.h"
#include "preview/PreviewWindow.h"

#include <QTest>
#include <ostream>

namespace bingo::faults {
namespace {

struct HandEdit {
    const char* name;
    const char* sql;
    /// Laid out: the band (from 0) and component to look at, and the text it must print
    /// (nullptr: any text).
    int band;
    const char* component;
    const char* prints;
    /// Stopped: the message ("" when the report lays it out).
    const char* error;
};

void PrintTo(const HandEdit& edit, std::ostream* os) {
    *os << edit.name;
}

class HandEdited : public ReportFixture, public ::testing::WithParamInterface<HandEdit> {};

TEST_P(HandEdited, LaysOutWhatItFindsOrSaysWhichRecordIsWrong) {
    const HandEdit& c = GetParam();
    writeJob(2);
    edit(c.sql);
    const long long count = records();

    const Outcome preview = layOut();
    const Outcome printed = printToPdf();
    if (*c.error) {
        ASSERT_TRUE(preview.error.has_value()) << "laid out " << preview.pages << " pages";
        EXPECT_NE(preview.error->find(c.error), std::string::npos) << *preview.error;
        ASSERT_TRUE(printed.error.has_value());
        EXPECT_NE(printed.error->find(c.error), std::string::npos) << *printed.error;
        return;
    }
    ASSERT_FALSE(preview.error.has_value()) << *preview.error;
    const int pages = count == 0 ? 1 : static_cast<int>((count + 5) / 6);
    EXPECT_EQ(preview.pages, pages);
    if (c.prints) {
        EXPECT_EQ(pages_->bandText(c.band, c.component).toStdString(), c.prints);
    }
    ASSERT_FALSE(printed.error.has_value()) << *printed.error;
    EXPECT_EQ(printed.pages, pages);

    // The preview paints the pages as they are.
    pages_.reset();
    qr1_->Preview();
    preview::PreviewWindow* window = qr1_->previewWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !qr1_->isLayoutInProgress(); }, 60000));
    EXPECT_FALSE(window->grab().isNull());
    qr1_->closePreview();
}

const std::string longText(20000, 'x');
const std::string longEdit = "UPDATE tmpBingo SET S9 = '" + longText + "' WHERE rowid = 1";

INSTANTIATE_TEST_SUITE_P(
    Edits, HandEdited,
    ::testing::Values(
        HandEdit{"NullSerial", "UPDATE tmpBingo SET S0 = NULL WHERE rowid = 2", 1, "QRDBText26", "",
                 ""},
        HandEdit{"NullNumbers", "UPDATE tmpBingo SET S5 = NULL, S25 = NULL WHERE rowid = 1", 0,
                 "QRDBText25", "", ""},
        HandEdit{"EverythingNull",
                 "UPDATE tmpBingo SET S0 = NULL, S1 = NULL, S2 = NULL, S3 = NULL, S4 = NULL, S5 = "
                 "NULL, S6 = NULL, S7 = NULL, S8 = NULL, S9 = NULL, S10 = NULL, S11 = NULL, S12 "
                 "= NULL, S13 = NULL, S14 = NULL, S15 = NULL, S16 = NULL, S17 = NULL, S18 = NULL, "
                 "S19 = NULL, S20 = NULL, S21 = NULL, S22 = NULL, S23 = NULL, S24 = NULL, S25 = "
                 "NULL",
                 11, "QRDBText1", "", ""},
        HandEdit{"TextInANumberField", "UPDATE tmpBingo SET S7 = 'seven' WHERE rowid = 4", 3,
                 "QRDBText7", "seven", ""},
        HandEdit{"NumbersOutOfRange",
                 "UPDATE tmpBingo SET S1 = 0, S2 = -5, S3 = 100, S4 = 32767, S5 = -2147483648, S6 "
                 "= 9223372036854775807 WHERE rowid = 6",
                 5, "QRDBText6", "9223372036854775807", ""},
        HandEdit{"RealNumber", "UPDATE tmpBingo SET S8 = 1.5 WHERE rowid = 1", 0, "QRDBText8",
                 "1.5", ""},
        HandEdit{"LongText", longEdit.c_str(), 0, "QRDBText9", longText.c_str(), ""},
        HandEdit{"Blob", "UPDATE tmpBingo SET S10 = x'00ff41' WHERE rowid = 12", 11, "QRDBText10",
                 nullptr, ""},
        HandEdit{"Unicode", "UPDATE tmpBingo SET S11 = '彩' WHERE rowid = 2", 1, "QRDBText11", "彩",
                 ""},
        HandEdit{"LargestSerial", "UPDATE tmpBingo SET S0 = 2147483647 WHERE rowid = 1", 0,
                 "QRDBText26", "1474", ""},
        HandEdit{"NegativeSerial", "UPDATE tmpBingo SET S0 = -5 WHERE rowid = 1", 0, "QRDBText26",
                 "995", ""},
        HandEdit{"DroppedColumn", "ALTER TABLE tmpBingo DROP COLUMN S12", 0, "QRDBText12", "", ""},
        HandEdit{"ExtraColumn", "ALTER TABLE tmpBingo ADD COLUMN S26 INTEGER DEFAULT 5", 0,
                 "QRDBText1", "9", ""},
        HandEdit{"NoRecords", "DELETE FROM tmpBingo", 0, "QRDBText26", "", ""},
        HandEdit{"DuplicatedRecords", "INSERT INTO tmpBingo SELECT * FROM tmpBingo", 23,
                 "QRDBText26", "0012", ""},
        HandEdit{"TextSerial", "UPDATE tmpBingo SET S0 = 'abc' WHERE rowid = 3", 0, "", "",
                 "第 3 筆資料無法列印：「abc」不是有效的整數"},
        HandEdit{"SerialBeyond32Bits", "UPDATE tmpBingo SET S0 = 2147483648 WHERE rowid = 5", 0, "",
                 "", "第 5 筆資料無法列印：「2147483648」不是有效的整數"},
        HandEdit{"RealSerial", "UPDATE tmpBingo SET S0 = 2.5 WHERE rowid = 5", 0, "", "",
                 "第 5 筆資料無法列印：「2.5」不是有效的整數"},
        HandEdit{"TableDropped", "DROP TABLE tmpBingo", 0, "QRDBText26", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

using LargeTable = ReportFixture;

TEST_F(LargeTable, HundredThousandRecordsAreLaidOutAndTheirLastPagesPrinted) {
    writeJob(0);
    edit("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000) "
         "INSERT INTO tmpBingo SELECT i, i % 99 + 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, "
         "15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25 FROM n");
    const Outcome preview = layOut();
    ASSERT_FALSE(preview.error.has_value()) << *preview.error;
    EXPECT_EQ(preview.pages, 16667);
    // 100000 + 10000 is 110000, whose characters 2 to 5 are printed.
    EXPECT_EQ(pages_->bandText(99999, "QRDBText26").toStdString(), "1000");
    const Outcome printed = printToPdf(16666, 16667);
    ASSERT_FALSE(printed.error.has_value()) << *printed.error;
    EXPECT_EQ(printed.pages, 2);
}

} // namespace
} // namespace bingo::faults
