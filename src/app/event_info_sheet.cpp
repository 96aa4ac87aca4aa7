#include "app/event_info_sheet.h"

#include "app/event_page.h"
#include "app/event_window.h"
#include "app/main_frame.h"
#include "app/sensor_page.h"
#include "app/time_page.h"
#include "core/text.h"
#include "views/record_edits.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace tlx::app {

namespace {

// The row chosen in the Event Report dialog, as the Event page's current report.
std::optional<CurrentEventReport> currentReport(const ReportRow* row) {
    if (!row) return std::nullopt;
    CurrentEventReport r;
    r.year = row->year;
    r.month = row->month;
    r.day = row->day;
    r.hour = row->hour;
    r.minute = row->minute;
    r.second = row->second;
    r.tenths = row->tenths;
    r.latitude = row->latitude;
    r.longitude = row->longitude;
    r.depth = row->depth;
    r.magnitude = row->magnitude;
    r.magnitude2 = row->magnitude2;
    r.magType = row->magType;
    r.magType2 = row->magType2;
    r.comment = row->comment;
    r.reportId = row->id;
    r.agency = row->agency;
    r.quality = row->quality;
    r.eventType = row->eventType;
    return r;
}

} // namespace

CEventInfoSheet::CEventInfoSheet(EventWindow& window, AppContext& ctx, int first, QWidget* parent)
    : QDialog(parent), window_(window) {
    setWindowTitle("Event File Information");
    CEqDoc& doc = window.doc();
    const EventRecord& selected = doc.record(doc.currentRecord());
    EventPageContext context;
    context.placeName =
        selected.info.priorLocation.empty() ? selected.info.sensorLocation : selected.info.priorLocation;
    context.sensorLatitude = selected.header.latitude;
    context.sensorLongitude = selected.header.longitude;
    context.geography = &ctx.geography;
    event_ = new CEventPage(EventPageLogic(selected.info, currentReport(ctx.reports.selectedRow()), context),
                            ctx.messages);
    sensor_ = new CSensorPage(selected, ctx.messages);
    time_ = new CTimePage(selected, ctx.messages);
    tabs_ = new QTabWidget;
    tabs_->addTab(event_, "Event");
    tabs_->addTab(sensor_, doc.recordCount() > 1
                               ? QString::fromStdString(format("Sensor Information - %s",
                                                               toUpper(selected.stationName()).c_str()))
                               : QString("Sensor"));
    tabs_->addTab(time_, "Time");
    shown_ = std::clamp(first, 0, 2);
    tabs_->setCurrentIndex(shown_);
    opened_.insert(shown_);
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (switching_) return;
        if (!leavePage(shown_)) {
            switching_ = true;
            tabs_->setCurrentIndex(shown_); // the sheet stays on the page with the bad field
            switching_ = false;
            return;
        }
        shown_ = index;
        opened_.insert(index);
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addWidget(buttons);
}

bool CEventInfoSheet::leavePage(int index) {
    switch (index) {
    case 0:
        return event_->leave();
    case 1:
        return sensor_->leave();
    default:
        return time_->leave();
    }
}

void CEventInfoSheet::accept() {
    if (!leavePage(shown_)) return;
    InfoEdits edits;
    if (opened_.count(0)) edits.event = event_->values();
    if (opened_.count(1)) edits.sensor = sensor_->values();
    if (opened_.count(2)) edits.time = time_->values();
    views::EventSession& session = window_.session();
    const InfoApplied applied = applyRecordInfo(session.doc(), session.doc().currentRecord(), edits);
    views::followAppliedInfo(session, applied);
    window_.refresh();
    QDialog::accept();
}

void CEventInfoSheet::showFor(EventWindow& window, Cmd cmd, AppContext& ctx, QWidget* parent) {
    const int first = cmd == Cmd::SensorInformation ? 1 : cmd == Cmd::TimeInformation ? 2 : 0;
    CEventInfoSheet(window, ctx, first, parent).exec();
}

} // namespace tlx::app
