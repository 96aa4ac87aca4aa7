#include "app/great_circle_dialog.h"

#include "core/data_paths.h"
#include "seismo/regions.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tlx::app {
namespace {

QLabel* resultLabel(const char* name) {
    auto* label = new QLabel("???");
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(260);
    return label;
}

} // namespace

CWorldistDialog::CWorldistDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Great Circle Distance Calculator");
    // The region names come from the program-wide table, which nothing else in the program
    // window reads.
    if (!regionTable().loaded()) loadRegionTable(shippedDataFile(kRegionFileName));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel("Latitude"), 0, 1);
    grid->addWidget(new QLabel("Longitude"), 0, 3);
    const char* rows[2] = {"&Event:", "&Station:"};
    for (int row = 0; row < 2; ++row) {
        auto* label = new QLabel(rows[row]);
        grid->addWidget(label, row + 1, 0);
        for (int col = 0; col < 2; ++col) {
            const int i = row * 2 + col;
            inputs_[i] = new QLineEdit;
            inputs_[i]->setObjectName(QString("input%1").arg(i));
            inputs_[i]->installEventFilter(this);
            inputs_[i]->setMinimumWidth(110);
            echo_[i] = new QLabel;
            echo_[i]->setObjectName(QString("echo%1").arg(i));
            echo_[i]->setMinimumWidth(90);
            grid->addWidget(inputs_[i], row + 1, 1 + col * 2);
            grid->addWidget(echo_[i], row + 1, 2 + col * 2);
        }
        label->setBuddy(inputs_[row * 2]);
    }
    eventRegion_ = resultLabel("eventRegion");
    stationRegion_ = resultLabel("stationRegion");
    distance_ = resultLabel("distance");
    azimuthEventToStation_ = resultLabel("azimuthEventToStation");
    azimuthStationToEvent_ = resultLabel("azimuthStationToEvent");
    const std::pair<const char*, QLabel*> results[] = {
        {"Event Region:", eventRegion_},
        {"Station Region:", stationRegion_},
        {"Great Circle Distance:", distance_},
        {"Event to Station Azimuth:", azimuthEventToStation_},
        {"Station to Event Azimuth:", azimuthStationToEvent_},
    };
    int row = 3;
    for (const auto& [text, label] : results) {
        grid->addWidget(new QLabel(text), row, 0);
        grid->addWidget(label, row++, 1, 1, 4);
    }
    auto* buttons = new QHBoxLayout;
    auto* calc = new QPushButton("C&alculate");
    calc->setDefault(true);
    auto* close = new QPushButton("Close");
    buttons->addStretch();
    buttons->addWidget(calc);
    buttons->addWidget(close);
    grid->addLayout(buttons, row, 0, 1, 5);
    connect(calc, &QPushButton::clicked, this, &CWorldistDialog::calculate);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CWorldistDialog::calculate() {
    CWorldist logic;
    std::string* fields[4] = {&logic.eventLatitude, &logic.eventLongitude, &logic.stationLatitude,
                              &logic.stationLongitude};
    for (std::size_t i = 0; i < 4; ++i)
        *fields[i] = inputs_[i]->text().toStdString();
    const GreatCircleCalculation r = logic.calculate();
    for (std::size_t i = 0; i < 4; ++i)
        echo_[i]->setText(QString::fromStdString(r.echo[i]));
    eventRegion_->setText(QString::fromStdString(r.eventRegion));
    stationRegion_->setText(QString::fromStdString(r.stationRegion));
    // The distance text ends in a line break; a label would show it as an empty line.
    distance_->setText(QString::fromStdString(r.distance).trimmed());
    azimuthEventToStation_->setText(QString::fromStdString(r.azimuthEventToStation));
    azimuthStationToEvent_->setText(QString::fromStdString(r.azimuthStationToEvent));
}

bool CWorldistDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn)
        if (auto* edit = qobject_cast<QLineEdit*>(watched))
            if (CWorldist::clearsOnEntry(edit->text().toStdString())) edit->clear();
    return QDialog::eventFilter(watched, event);
}

} // namespace tlx::app
