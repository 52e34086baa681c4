#pragma once

#include "report/Fonts.h"
#include "report/Records.h"
#include "report/ReportLayout.h"
#include "report/ReportPages.h"
#include "report/rpBingo.h"

#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace bingo::report {

inline void PrintTo(const BandPlace& p, std::ostream* os) {
    *os << "page " << p.page << " column " << p.column << " at (" << p.left << ", " << p.top
        << ") tenths of a mm";
}

} // namespace bingo::report

namespace bingo::report::test {

/// A context that reads nothing of the machine: a fixed clock, the C locale, no printer
/// installed, and failures kept in errors when it is given.
inline ReportContext fixedContext(std::vector<QString>* errors = nullptr) {
    return {[] { return QDateTime(QDate(2026, 12, 11), QTime(9, 5)); },
            QLocale::c(),
            {[errors](const QString& message) {
                 if (errors)
                     errors->push_back(message);
             },
             [] { return false; }}};
}

/// Records held in memory, with the card table's fields "S0" ... "S25"; counts the readings
/// still open.
class FakeRecords final : public RecordSource {
  public:
    using Row = std::array<std::string, 26>;

    /// count cards: serial i (from 1), number k of card i is (i + 7 k) mod 99 + 1.
    static FakeRecords cards(int count) {
        FakeRecords records;
        for (int i = 1; i <= count; ++i)
            records.rows.push_back(card(i));
        return records;
    }
    static Row card(int serial) {
        Row row;
        row[0] = std::to_string(serial);
        for (int k = 1; k <= 25; ++k)
            row[static_cast<std::size_t>(k)] = std::to_string((serial + 7 * k) % 99 + 1);
        return row;
    }

    [[nodiscard]] QStringList fieldNames() const override {
        QStringList names;
        for (int i = 0; i < 26; ++i)
            names << "S" + QString::number(i);
        return names;
    }
    [[nodiscard]] std::unique_ptr<RecordCursor> read() const override {
        return std::make_unique<Cursor>(*this);
    }
    [[nodiscard]] std::int64_t recordCount() const override {
        return static_cast<std::int64_t>(rows.size());
    }

    std::vector<Row> rows;
    mutable int openReadings = 0;

  private:
    class Cursor final : public RecordCursor {
      public:
        explicit Cursor(const FakeRecords& records) : records_(records) { ++records_.openReadings; }
        ~Cursor() override { --records_.openReadings; }
        bool next() override {
            if (next_ >= records_.rows.size())
                return false;
            current_ = next_++;
            return true;
        }
        const std::string& field(int i) const override {
            return records_.rows.at(current_).at(static_cast<std::size_t>(i));
        }

      private:
        const FakeRecords& records_;
        std::size_t next_ = 0;
        std::size_t current_ = 0;
    };
};

/// The shipped card layout, with the program's fonts.
inline std::shared_ptr<const ReportLayout> cardLayout() {
    registerFontSubstitutions();
    return loadCardSheetLayout();
}

/// Handlers that mark what they saw: the serial prints as "#<value>", the stamp as "stamp",
/// and every call is counted.
struct MarkingHandlers {
    int serialCalls = 0;
    int stampCalls = 0;
    PrintHandlers handlers() {
        PrintHandlers h;
        h.insert("QRDBText26Print", [this](QString& value) {
            ++serialCalls;
            value = "#" + value;
        });
        h.insert("QRSysData1Print", [this](QString& value) {
            ++stampCalls;
            value = "stamp";
        });
        return h;
    }
};

} // namespace bingo::report::test
