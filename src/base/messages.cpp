#include "base/messages.h"

#include <algorithm>

#include "base/encoding.h"
#include "base/message_seam.h"
#include "base/number_routines.h"
#include "base/runtime.h"
#include "base/text_routines.h"

namespace mero::base {
namespace {

using namespace literals;

std::string NotRegistered(int number) { return "Αριθμός : "_gr + IntToStrZ(number, 3); }

std::string FormatArgs(const std::string& pattern, const std::vector<std::string>& args) {
  std::string out;
  std::size_t next = 0;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == '%' && i + 1 < pattern.size()) {
      if (pattern[i + 1] == 's') {
        if (next < args.size()) out += args[next];
        ++next;
        ++i;
        continue;
      }
      if (pattern[i + 1] == '%') {
        out.push_back('%');
        ++i;
        continue;
      }
    }
    out.push_back(pattern[i]);
  }
  return out;
}

}  // namespace

int AddMess(int number, const std::string& text) {
  Runtime& rt = Rt();
  rt.messTableExists = true;
  const std::string key = std::to_string(number).substr(0, 20);
  const std::string stored = text.empty() ? "_" : text;
  const auto it = std::find(rt.messNumbers.begin(), rt.messNumbers.end(), key);
  if (it == rt.messNumbers.end()) {
    rt.messNumbers.push_back(key);
    rt.messTexts.push_back(stored);
    return static_cast<int>(rt.messNumbers.size());
  }
  const auto pos = static_cast<std::size_t>(it - rt.messNumbers.begin());
  ShowMess("Δύο Messages με το ίδιο Νο : "_gr + key + " old=<" + rt.messTexts[pos] + ">. New=<" + stored + ">");
  return static_cast<int>(pos);
}

std::string GetMessText(int number) {
  const Runtime& rt = Rt();
  if (!rt.messTableExists) return "MessNo:" + std::to_string(number);
  const std::string key = std::to_string(number);
  const auto it = std::find(rt.messNumbers.begin(), rt.messNumbers.end(), key);
  if (it == rt.messNumbers.end()) return NotRegistered(number);
  const std::string& text = rt.messTexts[static_cast<std::size_t>(it - rt.messNumbers.begin())];
  return rt.debugLevel > 0 ? IntToStrZ(number, 3) + " " + text : text;
}

void ShowMessNo(int number) { ShowMess(GetMessText(number), 0); }

void ShowMessNoFmt(int number, const std::vector<std::string>& args) {
  std::string text = FormatArgs(GetMessText(number), args);
  if (text.empty()) text = NotRegistered(number);
  ShowMess(text, 0);
}

void RegisterBaseMessages() {
  struct Entry {
    int number;
    const std::string& text;
  };
  const Entry entries[] = {
      {1, "Δεν υπάρχουν εγγραφές με αυτά τα στοιχεία"_gr},
      {2, "Η αξία είναι εκτός ορίων"_gr},
      {3, "Το ποσοστό είναι εκτός ορίων"_gr},
      {4, "Πρόβλημα με το αρχείο παραμέτρων"_gr},
      {5, "Λάθος Αριθμητική Τιμή"_gr},
      {6, "Υποχρεωτικό Πεδίο !"_gr},
      {7, "Λάθος Τιμές"_gr},
      {8, "Δεν Υπάρχουν Εγγραφές με Αυτά τα Στοιχεία"_gr},
      {9, "Άκυρη Ημερομηνία"_gr},
      {10, "Υποχρεωτική Ημερομηνία"_gr},
      {11, "Αριθμητική τιμή σωστή?"_gr},
      {12, "Μη σωστό έτος : %s"_gr},
      {13, "Ελλιπή ή Λανθασμένα Στοιχεία !"_gr},
      {14, "Αναμένεται αριθμός άλλος από το 0!"_gr},
      {15, "Δεν έχετε συμπληρώσει κανένα φίλτρο!"_gr},
      {16, "Το πλάτος εκτύπωσης (%s) ξεπερνά τα καθορισμένα (στις παραμέτρους εκτυπωτή) όρια!"_gr},
      {18, "Λάθος Ώρα (%s)!"_gr},
      {19, "Την εργασία αυτή μπορεί να την εκτελέσει μόνο ένας χρήστης!"_gr},
      {23, "Δεν έχετε εξουσιοδότηση να εκτελέσετε την εργασία αυτή!"_gr},
      {24, "Η εργασία αυτή θα είναι διαθέσιμη σε επόμενες εκδόσεις!"_gr},
      {26, "Μη σωστός ακέραιος!"_gr},
      {27, "Μη σωστός αριθμός!"_gr},
      {31, "Η εγγραφή δεν υπάρχει!"_gr},
      {32, "Η εγγραφή υπάρχει ήδη!"_gr},
      {33, "Επιβεβαίωση διαγραφής ?"_gr},
      {34, "Διαγραφή όλων των επιλεγμένων κινήσεων?"_gr},
      {35, "Υπάρχει ήδη εγγραφή με αυτά τα στοιχεία!"_gr},
      {36, "Υπάρχει ήδη εγγραφή με αυτά τα στοιχεία! Θέλετε να τη δείτε?"_gr},
      {37, "Έχουν γίνει αλλαγές! Θέλετε να αποθηκευτούν?"_gr},
      {38, "Δεύτερη Επιβεβαίωση διαγραφής ?"_gr},
      {41, "Αδύνατη η μεταβολή της εγγραφής. Πιθανόν να χρησιμοποιείται από άλλον χρήστη"_gr},
      {42, "Δεν μπορώ να ανοίξω το αρχείο %s! Συνέχεια?"_gr},
      {43, "Το αρχείο %s δεν υπάρχει!"_gr},
      {44, "Υποχρεωτικό Πεδίο !\n%s"_gr},
      {45, "Ο κατάλογος %s δεν υπάρχει!"_gr},
      {46, "Σφάλμα! %s !"_gr},
      {47, "Δεν μπορώ να ανοίξω το αρχείο %s!"_gr},
      {48, "Το αρχείο %s δεν περιέχει εγγραφές!"_gr},
      {49, "Το αρχείο δεν έχει τη σωστή μορφή!"_gr},
      {51, "Η εργασία τελείωσε κανονικά!"_gr},
      {52, "Η εργασία ΔΕΝ τελείωσε κανονικά!"_gr},
      {53, "Η εργασία ΔΕΝ τελείωσε κανονικά! Επαναλάβετέ την."_gr},
      {54, "ΠΡΟΣΟΧΗ!!!\nΗ εργασία είναι εξαιρετικά κρίσιμη!!!\nΕίστε σίγουροι ότι θέλετε να συνεχίσετε?"_gr},
      {56, "Δεν υπάρχει καμία επιλογή στη λίστα!"_gr},
      {57, "Τίποτα για εκτύπωση!"_gr},
      {58, "Ο κωδικός %s δεν υπάρχει στο Αρχείο!"_gr},
      {59, "Ο κωδικός %s υπάρχει ήδη στο Αρχείο!"_gr},
      {61, "Το Directory %s δεν υπάρχει!"_gr},
      {63, "Η εργασία τελείωσε με επιτυχία!"_gr},
      {71, "Άκυρη Ημερομηνία %s"_gr},
      {72, "Η καθαρή αξία είναι εκτός ορίων"_gr},
      {73, "Ο ΦΠΑ είναι εκτός ορίων"_gr},
      {75, "Αριθμός εκτός ορίων"_gr},
      {76, "Έχουν γίνει αλλαγές! Καταχωρήστε ή ακυρώστε τις αλλαγές και στην συνέχεια εκτελέστε την εργασία!"_gr},
      {81, "Την εργασία αυτή μπορεί να την εκτελέσει μόνον ο SuperUser!"_gr},
      {82, "Δεν έχετε δικαιοδοσία για την εκτέλεση της εργασίας αυτής!"_gr},
      {83, "Δεν έχετε δικαιοδοσία για πρόσβαση στην πληροφορία αυτή!"_gr},
      {93, "Προσοχή! Η εργασία μπορεί να είναι χρονοβόρα! Συνέχεια?"_gr},
      {94, "Προσοχή! Μην συνεχίζετε αν δεν γνωρίζετε τι εκτελεί η εργασία αυτή! Συνέχεια?"_gr},
      {95, "Η αναβάθμιση της Βάσης Δεδομένων σε έκδοση %s έγινε με επιτυχία"_gr},
      {96,
       "Θα πρέπει να γίνει αναβάθμιση της Βάσης Δεδομένων από έκδοση %s σε έκδοση %s.\nΒεβαιωθείτε ότι ΔΕΝ ΕΡΓΑΖΕΤΑΙ ΚΑΝΕΝΑΣ ΑΛΛΟΣ ΧΡΗΣΤΗΣ ΤΗΝ ΣΤΙΓΜΗ ΑΥΤΗ!\nκαι εκτελέστε την εργασία Βοηθητικά/Αναβάθμιση ΒΔ"_gr},
      {97, "Συνέβη Σφάλμα!"_gr},
      {98, "Δεν μπορώ να προσθέσω τα Fonts!"_gr},
      {99, "Πρόβλημα 99 κατά την εκτέλεση του προγράμματος!"_gr},
      {901, "Το χρονικό διάστημα θα πρέπει να αρχίζει από την πρώτη του μηνός και να τελειώνει την τελευταία!"_gr},
  };
  for (const Entry& e : entries) AddMess(e.number, e.text);
}

MessWindowLayout LayoutMessWindow(const std::string& text, int kind, int fontIndex) {
  MessWindowLayout l;
  l.text = ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\n", "\r\n");
  if (!l.text.empty()) {
    l.lineCount = 1;
    std::size_t at = 0;
    while ((at = l.text.find("\r\n", at)) != std::string::npos) {
      at += 2;
      if (at < l.text.size()) ++l.lineCount;  // a final line break opens no new line
    }
  }
  l.height = std::min(std::max(16 * l.lineCount + 60, 120), 400);
  l.scrollBars = l.lineCount >= 21;
  const std::string& caption = kind == mkQuestion || kind == mkQuestionCancel ? "Ερώτηση"_gr
                               : kind == mkInformation                        ? "Πληροφορία"_gr
                                                                              : "Μήνυμα"_gr;
  l.caption = caption + " Lines=" + std::to_string(l.lineCount);
  l.showCancel = kind == mkQuestion || kind == mkQuestionCancel;
  l.cancelIsDefault = kind == mkQuestionCancel;
  l.tooltipBackground = kind == mkInformation;
  if (fontIndex >= 0) l.fontName = fontIndex == 0 ? "Courier" : fontIndex == 2 ? "Times" : "Arial";
  return l;
}

}  // namespace mero::base
