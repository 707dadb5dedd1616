#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "link/codec/field_type.h"

namespace mero::ui {

// One printed column.
struct TRptSelFld {
  std::string fieldName;
  std::string title;  // the field's display label
  char kind = 'C';    // FieldKindLetter
  int width = 2;      // characters, at least 2
  int alignment = 1;  // 1 left, 2 right, 3 centre
};

// "N" for numbers, "D" for dates and times, "C" for everything else.
char FieldKindLetter(link::TFieldType type);
// The printed width of a column of that many pixels: RoundInt(n × 1.1) + 1
// with n = PixelsToChars(pixels), and 2 where that gives 1.
int PrintWidth(int pixels);

// How a grid's rows print as a list report: titles, the columns, the sums
// and the options. One per grid, kept between prints; the grid refills the
// columns and sums before each print.
struct TMyRpt {
  TMyRpt();

  std::string selectedName = "SELFIELD";
  std::vector<TRptSelFld> selected;

  std::string titleText = "------";
  std::string leftText;   // the report header template
  std::string rightText;  // the report date label
  std::vector<std::string> titleLines, leftLines, rightLines;

  std::vector<std::string> sumNames, sumTexts;

  bool repeatTitles = false;
  int rowNumberWidth = 0;  // 4 with the row-number column
  int recordCount = 0;     // 1 prints "#" and the number of records
  int pageType = 0;        // 0 A4 portrait, 1 A4 landscape, 2 A3 portrait, 3 A3 landscape
  int textFile = 0;        // 1: output as a delimited text file
  std::string separator = "\t";
  int oemConversion = 0;

  // For each text: "" keeps it, "-" clears it, anything else replaces it;
  // then the three texts become their line lists (macros expanded, split at
  // ";", trimmed).
  void SetTitles(std::string_view title, std::string_view left, std::string_view right);
  // Both lists from line-separated texts.
  void SetSums(std::string_view names, std::string_view texts);

  int TitleRows() const;
  // 1-based column k; the row-number column starts at 1. 0 without columns.
  int ColumnStart(int k) const;
  int ReportWidth() const;
};

}  // namespace mero::ui
