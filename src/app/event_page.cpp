#include "app/event_page.h"

#include "core/text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tlx::app {
namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

CEventPage::CEventPage(EventPageLogic logic, Messages& messages, QWidget* parent)
    : QWidget(parent), logic_(std::move(logic)), messages_(messages) {
    auto* grid = new QGridLayout(this);
    int row = 0;
    auto addRow = [&](const char* label, QWidget* w, QWidget* beside = nullptr) {
        auto* l = new QLabel(label);
        l->setBuddy(w);
        grid->addWidget(l, row, 0);
        grid->addWidget(w, row, 1);
        if (beside) grid->addWidget(beside, row, 2);
        ++row;
    };
    comment_ = field("comment");
    auto* commentLabel = new QLabel("Comm&ent:");
    commentLabel->setBuddy(comment_);
    grid->addWidget(commentLabel, row, 0);
    grid->addWidget(comment_, row++, 1, 1, 3);
    time_ = field("time");
    addRow("&Time (mm/dd/yyyy hh:mm:ss.s):", time_);
    QLineEdit** mags[] = {&ms_, &mb_, &mw_, &ml_, &md_, &other_};
    const char* magNames[] = {"Ms", "Mb", "Mw", "Ml", "Md", "Other"};
    auto* magRow = new QHBoxLayout;
    for (int i = 0; i < 6; ++i) {
        *mags[i] = field(magNames[i]);
        (*mags[i])->setMaximumWidth(i == 5 ? 90 : 55);
        magMarks_[i] = new QLabel;
        magRow->addWidget(new QLabel(QString(magNames[i]) + ":"));
        magRow->addWidget(*mags[i]);
        magRow->addWidget(magMarks_[i]);
    }
    grid->addWidget(new QLabel("Magnitudes:"), row, 0);
    grid->addLayout(magRow, row++, 1, 1, 3);
    latitude_ = field("latitude");
    latShown_ = new QLabel;
    latShown_->setObjectName("latitudeShown");
    addRow("&Latitude:", latitude_, latShown_);
    longitude_ = field("longitude");
    lonShown_ = new QLabel;
    lonShown_->setObjectName("longitudeShown");
    addRow("L&ongitude:", longitude_, lonShown_);
    depth_ = field("depth");
    depthMark_ = new QLabel;
    addRow("&Depth (km):", depth_, depthMark_);
    agency_ = field("agency");
    agency_->setMaxLength(6);
    addRow("A&gency:", agency_);
    eventType_ = new QComboBox;
    eventType_->addItems({" ", "Quake", "Nuclear", "Quarry", "Other"});
    addRow("Event T&ype:", eventType_);
    quality_ = new QComboBox;
    quality_->addItems({" ", "A", "B", "C", "D", "E"});
    addRow("&Quality:", quality_);
    selector_ = new QComboBox;
    addRow("E&vent:", selector_);

    auto* buttons = new QHBoxLayout;
    new_ = new QPushButton("&New");
    delete_ = new QPushButton("De&lete");
    make_ = new QPushButton("&Make");
    add_ = new QPushButton("&Add");
    replace_ = new QPushButton("&Replace");
    for (QPushButton* b : {new_, delete_, make_, add_, replace_}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    modifyComment_ = new QCheckBox("Modify &Comment");
    buttons->addWidget(modifyComment_);
    grid->addLayout(buttons, row++, 0, 1, 4);
    report_ = new QPlainTextEdit;
    report_->setObjectName("report");
    report_->setReadOnly(true);
    report_->setMaximumHeight(60);
    grid->addWidget(report_, row++, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(2, 90); // room for "45:30:00N" and "ERROR"

    connect(new_, &QPushButton::clicked, this, [this] { act(&CEventPage::newEntry); });
    connect(delete_, &QPushButton::clicked, this, [this] { act(&CEventPage::deleteEntry); });
    connect(make_, &QPushButton::clicked, this, [this] { act(&CEventPage::make); });
    connect(add_, &QPushButton::clicked, this, [this] { act(&CEventPage::add); });
    connect(replace_, &QPushButton::clicked, this, [this] { act(&CEventPage::replace); });
    connect(selector_, &QComboBox::activated, this, [this](int index) {
        // Another entry is shown only after the one on screen passed the checks.
        if (!leave()) {
            push();
            return;
        }
        logic_.show(index);
        push();
    });
    for (QLineEdit* e : {latitude_, longitude_})
        connect(e, &QLineEdit::editingFinished, this, [this] {
            pull();
            logic_.normaliseCoordinates();
            push();
        });
    push();
}

QLineEdit* CEventPage::field(const char* name) {
    auto* e = new QLineEdit;
    e->setObjectName(name);
    connect(e, &QLineEdit::textEdited, this, [this] {
        pull();
        updateMarks();
        updateButtons();
    });
    return e;
}

void CEventPage::pull() {
    if (pushing_) return;
    EventForm& f = logic_.form;
    f.comment = comment_->text().toStdString();
    f.time = time_->text().toStdString();
    f.ms = ms_->text().toStdString();
    f.mb = mb_->text().toStdString();
    f.mw = mw_->text().toStdString();
    f.ml = ml_->text().toStdString();
    f.md = md_->text().toStdString();
    f.other = other_->text().toStdString();
    f.latitude = latitude_->text().toStdString();
    f.longitude = longitude_->text().toStdString();
    f.depth = depth_->text().toStdString();
    f.agency = agency_->text().toStdString();
    f.eventType = eventType_->currentIndex();
    f.quality = quality_->currentIndex();
    logic_.modifyComment = modifyComment_->isChecked();
}

void CEventPage::push() {
    pushing_ = true;
    const EventForm& f = logic_.form;
    const std::pair<QLineEdit*, const std::string*> texts[] = {{comment_, &f.comment},
                                                               {time_, &f.time},
                                                               {ms_, &f.ms},
                                                               {mb_, &f.mb},
                                                               {mw_, &f.mw},
                                                               {ml_, &f.ml},
                                                               {md_, &f.md},
                                                               {other_, &f.other},
                                                               {latitude_, &f.latitude},
                                                               {longitude_, &f.longitude},
                                                               {depth_, &f.depth},
                                                               {agency_, &f.agency}};
    for (const auto& [edit, text] : texts)
        if (edit->text() != q(*text)) edit->setText(q(*text));
    eventType_->setCurrentIndex(f.eventType);
    quality_->setCurrentIndex(f.quality);
    selector_->clear();
    const int n = static_cast<int>(logic_.events().size());
    if (n == 0) selector_->addItem("");
    for (int i = 0; i < n; ++i)
        selector_->addItem(QString::number(i + 1));
    selector_->setCurrentIndex(std::max(0, logic_.shown()));
    modifyComment_->setChecked(logic_.modifyComment);
    report_->setPlainText(q(logic_.reportLine()));
    pushing_ = false;
    updateMarks();
    updateButtons();
}

void CEventPage::updateMarks() {
    const EventForm& f = logic_.form;
    auto shown = [](const std::string& text, Hemisphere axis) {
        if (trim(text).empty()) return QString();
        const auto v = parseCoordinate(text, axis);
        return v ? q(coordinateDisplay(*v, axis)) : QString("ERROR");
    };
    latShown_->setText(shown(f.latitude, Hemisphere::Latitude));
    lonShown_->setText(shown(f.longitude, Hemisphere::Longitude));
    depthMark_->setText(trim(f.depth).empty() || logic_.depthValid() ? "" : "ERROR");
    const std::string* mags[] = {&f.ms, &f.mb, &f.mw, &f.ml, &f.md};
    for (int i = 0; i < 5; ++i)
        magMarks_[i]->setText(trim(*mags[i]).empty() || parseMagnitude(*mags[i]) ? "" : "ERROR");
    magMarks_[5]->setText(trim(f.other).empty() || parseOtherMagnitude(f.other) ? "" : "ERROR");
}

void CEventPage::updateButtons() {
    make_->setEnabled(logic_.canMake());
    new_->setEnabled(logic_.newEnabled());
    delete_->setEnabled(logic_.shown() >= 0);
    add_->setEnabled(logic_.addEnabled());
    replace_->setEnabled(logic_.replaceEnabled());
    modifyComment_->setEnabled(logic_.report().has_value());
}

void CEventPage::act(void (CEventPage::*step)()) {
    pull();
    (this->*step)();
    push();
}

void CEventPage::newEntry() {
    logic_.newEntry();
}

void CEventPage::deleteEntry() {
    if (messages_.ask("Clear Event Report Information", Buttons::YesNo) == Answer::Yes) logic_.deleteEntry();
}

void CEventPage::make() {
    logic_.make();
}
void CEventPage::add() {
    logic_.add();
}
void CEventPage::replace() {
    logic_.replace();
}

void CEventPage::focus(InfoField field) {
    QLineEdit* target = field == InfoField::Latitude    ? latitude_
                        : field == InfoField::Longitude ? longitude_
                        : field == InfoField::Time      ? time_
                                                        : depth_;
    target->setFocus();
    target->selectAll();
}

bool CEventPage::leave() {
    pull();
    if (const auto refusal = logic_.leave()) {
        messages_.error(refusal->message);
        focus(refusal->field);
        return false;
    }
    return true;
}

EventPageValues CEventPage::values() const {
    return {logic_.form.comment, logic_.events(), logic_.currentEvent()};
}

} // namespace tlx::app
