#include "probex/problem_report.h"

#include "platform/dialog/dialog.h"
#include "probex/probex_state.h"
#include "probex/problem_word.h"
#include "probex/resource_ids.h"
#include "probex/text_format.h"

std::string FormatProblemReport(DWORD problemWord) {
  if (problemWord == 0) {
    return "Everything seems to be ok.....Start Kelvane\r\n";
  }
  std::string report = "There are some problems: \r\n";
  int number = 0;
  for (const ProblemLine& row : kProblemLines) {
    if ((problemWord & row.bit) != 0 && row.line != nullptr) {
      report += FormatText(row.line, ++number);
    }
  }
  return report;
}

void WriteProblemReport(HWND dialog) {
  SetDlgItemTextA(dialog, kReportText, FormatProblemReport(Probex().problemWord.load()).c_str());
}
