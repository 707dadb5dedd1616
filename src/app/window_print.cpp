#include "app/window_print.h"

#include <QPainter>
#include <QPixmap>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

#include "base/date_routines.h"
#include "base/encoding.h"
#include "base/file_routines.h"
#include "base/message_seam.h"
#include "ui/qt_text.h"

namespace mero::app {

using namespace base::literals;

std::string PrintWindowImage(QWidget* window) {
  if (window == nullptr) return {};
  const QPixmap image = window->grab();
  QPrinter printer(QPrinter::HighResolution);
  std::string pdf;
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (!info.isNull()) {
    printer.setPrinterName(info.printerName());
  } else {
    pdf = base::ExpImpDir() + "/window-" + base::DateTimeStamp() + ".pdf";
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ui::ToQString(pdf));
  }
  printer.setDocName(window->windowTitle());
  QPainter painter;
  if (!painter.begin(&printer)) {
    base::ShowMess("Η εκτύπωση του παραθύρου απέτυχε."_gr);
    return {};
  }
  const QRect page = painter.viewport();
  QSize size = image.size();
  size.scale(page.size(), Qt::KeepAspectRatio);
  painter.setViewport(page.x(), page.y(), size.width(), size.height());
  painter.setWindow(image.rect());
  painter.drawPixmap(0, 0, image);
  painter.end();
  if (!pdf.empty()) base::ShowMess("Δεν υπάρχει εκτυπωτής· η εικόνα του παραθύρου γράφτηκε στο "_gr + pdf);
  return pdf;
}

}  // namespace mero::app
