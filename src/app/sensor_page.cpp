#include "app/sensor_page.h"

#include "core/text.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tlx::app {

CSensorPage::CSensorPage(const EventRecord& selected, Messages& messages, QWidget* parent)
    : QWidget(parent), form_(sensorForm(selected)), messages_(messages) {
    auto* columns = new QHBoxLayout(this);
    auto* left = new QFormLayout;
    auto* right = new QFormLayout;
    columns->addLayout(left);
    columns->addLayout(right);
    auto withShown = [&](const char* label, const char* name, std::string SensorForm::*member,
                         QLabel*& shown) {
        QLineEdit* e = addField(name, member);
        shown = new QLabel;
        shown->setObjectName(QString(name) + "Shown");
        auto* row = new QHBoxLayout;
        row->addWidget(e);
        row->addWidget(shown);
        left->addRow(label, row);
        connect(e, &QLineEdit::editingFinished, this, [this, e, member] {
            const Hemisphere axis =
                member == &SensorForm::latitude ? Hemisphere::Latitude : Hemisphere::Longitude;
            if (const auto v = parseCoordinate(e->text().toStdString(), axis))
                e->setText(QString::fromStdString(coordinateFieldText(*v, axis)));
            pull();
            updateState();
        });
    };
    withShown("&Latitude:", "latitude", &SensorForm::latitude, latShown_);
    withShown("L&ongitude:", "longitude", &SensorForm::longitude, lonShown_);
    left->addRow("&Elevation (meters):", addField("elevation", &SensorForm::elevation));
    orientation_ = new QComboBox;
    orientation_->addItems({"?", "Z", "N-S", "E-W"});
    left->addRow("O&rientation:", orientation_);
    left->addRow("&Incident (0-90 deg):", addField("incident", &SensorForm::incident));
    left->addRow("&Azimuth (0-90 deg):", addField("azimuth", &SensorForm::azimuth));
    left->addRow("Sensor Lo&cation:", addField("sensorLocation", &SensorForm::sensorLocation));
    left->addRow("Sensor &Description:", addField("sensorDescription", &SensorForm::sensorDescription));
    sensorType_ = new QComboBox;
    sensorType_->addItems({"Unknown", "Acceleration", "Velocity", "Displacement"});
    left->addRow("Sensor &Type:", sensorType_);
    sensitivity_ = addField("sensitivity", &SensorForm::sensitivity);
    left->addRow("Sensiti&vity (cm per A/D bit):", sensitivity_);
    right->addRow("Sensor &ID:", addField("sensorId", &SensorForm::sensorId, 6));
    right->addRow("Component &Name:", addField("componentName", &SensorForm::componentName, 3));
    right->addRow("Net&work Affiliation:", addField("network", &SensorForm::network, 6));
    right->addRow("Ml && Ms Co&rrection:", addField("correction", &SensorForm::correction));
    right->addRow("A/D &Bits:", addField("adBits", &SensorForm::adBits, 2));
    right->addRow("Output &Voltage (volts / cm):", addField("outputVoltage", &SensorForm::outputVoltage));
    right->addRow("Amp &Gain:", addField("ampGain", &SensorForm::ampGain));
    right->addRow("A/D Voltage (&peak):", addField("adVolts", &SensorForm::adVolts));
    right->addRow("MSEED Locatio&n:", addField("seedLocation", &SensorForm::seedLocation, 2));
    auto* logger = new QLineEdit(QString::fromStdString(form_.dataLogger));
    logger->setReadOnly(true);
    right->addRow("Datalogger:", logger);
    calcSens_ = new QPushButton("Calc &Sens");
    calcSens_->setAutoDefault(false);
    right->addRow(calcSens_);

    connect(orientation_, &QComboBox::activated, this, [this](int index) {
        pull();
        chooseOrientation(form_, index);
        push();
    });
    connect(sensorType_, &QComboBox::activated, this, [this] { pull(); });
    connect(calcSens_, &QPushButton::clicked, this, [this] {
        pull();
        calcSens(form_);
        push();
    });
    push();
}

QLineEdit* CSensorPage::addField(const char* name, std::string SensorForm::*member, int maxLength) {
    auto* e = new QLineEdit;
    e->setObjectName(name);
    if (maxLength > 0) e->setMaxLength(maxLength);
    fields_.emplace_back(e, member);
    connect(e, &QLineEdit::textEdited, this, [this] {
        pull();
        updateState();
    });
    return e;
}

void CSensorPage::pull() {
    for (const auto& [edit, member] : fields_)
        form_.*member = edit->text().toStdString();
    form_.orientation = orientation_->currentIndex();
    form_.sensorType = sensorType_->currentIndex();
}

void CSensorPage::push() {
    for (const auto& [edit, member] : fields_)
        if (edit->text().toStdString() != form_.*member) edit->setText(QString::fromStdString(form_.*member));
    orientation_->setCurrentIndex(form_.orientation);
    sensorType_->setCurrentIndex(form_.sensorType);
    updateState();
}

void CSensorPage::updateState() {
    auto shown = [](const std::string& text, Hemisphere axis) {
        if (trim(text).empty()) return QString();
        const auto v = parseCoordinate(text, axis);
        return v ? QString::fromStdString(coordinateDisplay(*v, axis)) : QString("ERROR");
    };
    latShown_->setText(shown(form_.latitude, Hemisphere::Latitude));
    lonShown_->setText(shown(form_.longitude, Hemisphere::Longitude));
    calcSens_->setEnabled(calcSensEnabled(form_));
    sensitivity_->setReadOnly(sensitivityLocked(form_));
}

bool CSensorPage::leave() {
    pull();
    if (const auto refusal = readSensorForm(form_, values_)) {
        messages_.error(refusal->message);
        static const std::pair<InfoField, const char*> names[] = {{InfoField::Latitude, "latitude"},
                                                                  {InfoField::Longitude, "longitude"},
                                                                  {InfoField::Elevation, "elevation"},
                                                                  {InfoField::Incident, "incident"},
                                                                  {InfoField::Azimuth, "azimuth"},
                                                                  {InfoField::Sensitivity, "sensitivity"},
                                                                  {InfoField::OutputVoltage, "outputVoltage"},
                                                                  {InfoField::AmpGain, "ampGain"},
                                                                  {InfoField::AdVolts, "adVolts"},
                                                                  {InfoField::Correction, "correction"},
                                                                  {InfoField::AdBits, "adBits"}};
        for (const auto& [field, name] : names)
            if (field == refusal->field)
                if (auto* edit = findChild<QLineEdit*>(name)) edit->setFocus();
        return false;
    }
    return true;
}

} // namespace tlx::app
