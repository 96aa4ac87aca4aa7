#include "app/magnitude_calculator.h"

#include "app/magnitude_period.h"
#include "core/text.h"
#include "core/units.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace tlx::app {
namespace {

std::optional<double> number(const QLineEdit* e) {
    double v = 0;
    if (!parseDouble(trim(e->text().toStdString()), v)) return std::nullopt;
    return v;
}

QString text(const std::optional<double>& v, const char* fmt = "%-4.6g") {
    return v ? QString::fromStdString(format(fmt, *v)).trimmed() : QString();
}

const EventRecord& currentRecord(const views::EqViewModel& m) {
    return *m.sources()[static_cast<std::size_t>(m.currentRecord())].record;
}

// The amplitude the window's magnitudes use: the Ml/Ms or Mb marker's, else the largest excursion
// from the offset.
double windowAmplitude(const views::EqViewModel& m) {
    const EventRecord& rec = currentRecord(m);
    const views::Marker& mag = m.marker(views::kMarkerMag);
    if ((m.magMode() == views::kMagMlMs || m.magMode() == views::kMagMb) && mag.placed())
        return std::fabs(mag.amplitude);
    const double offset = m.scale(m.currentRecord()).offset;
    return std::max(std::fabs(rec.header.dataMin - offset), std::fabs(rec.header.dataMax - offset));
}

} // namespace

CMagCalcDialog::CMagCalcDialog(views::EqViewModel& model, const views::SeismoTables& tables,
                               Messages& messages, QWidget* parent)
    : QDialog(parent), model_(model), messages_(messages) {
    const EventRecord& rec = currentRecord(model);
    setWindowTitle(model.sources().size() > 1 ? QString::fromStdString(format("Magnitude Calculator - %s",
                                                                              rec.stationName().c_str()))
                                              : QString("Magnitude Calculator"));
    if (const AttenuationTables* t = tables.attenuation.tableFor(rec.stationName())) attenuation_ = *t;
    const char* names[FieldCount] = {"displacement", "counts",  "sensitivity", "correction", "km",
                                     "degrees",      "miles",   "minusLogA0",  "ml",         "mlCorr",
                                     "ms",           "msCorr",  "mb",          "mbCorr",     "msPeriod",
                                     "mbPeriod",     "mbDepth", "mbTerm"};
    for (int f = 0; f < FieldCount; ++f) {
        edits_[f] = new QLineEdit;
        edits_[f]->setObjectName(names[f]);
    }
    edit(MinusLogA0)->setReadOnly(true);
    auto* grid = new QGridLayout(this);
    struct Row {
        const char* label;
        Field field;
        int row, col;
    };
    const Row rows[] = {
        {"Peak Displacement:", Displacement, 0, 0},
        {"Peak A/D Counts:", Counts, 1, 0},
        {"Sensor Sensitivity\n(cm per A/D bit)", Sensitivity, 2, 0},
        {"Magnitude Correction:", Correction, 3, 0},
        {"Kilometers", Km, 4, 0},
        {"Degrees", Degrees, 5, 0},
        {"Miles:", Miles, 6, 0},
        {"Ml -log Ao Correction:", MinusLogA0, 7, 0},
        {"Local Ml:", Ml, 0, 2},
        {"Using Mag Corr && Counts:", MlCorr, 1, 2},
        {"Surface Wave Ms:", Ms, 2, 2},
        {"Mag Corr && Counts:", MsCorr, 3, 2},
        {"Body Wave Mb:", Mb, 4, 2},
        {"Mag Corr && Counts:", MbCorr, 5, 2},
        {"Ms Period:", MsPeriod, 6, 2},
        {"Mb Period:", MbPeriod, 7, 2},
        {"Mb Depth:", MbDepth, 8, 0},
        {"Mb Depth / Dist Correction:", MbTerm, 8, 2},
    };
    for (const Row& r : rows) {
        auto* label = new QLabel(QString(r.label).replace("&&", "&"));
        grid->addWidget(label, r.row, r.col);
        grid->addWidget(edit(r.field), r.row, r.col + 1);
    }
    for (Field f : {Km, Degrees, Miles})
        connect(edit(f), &QLineEdit::textEdited, this, [this, f] { distanceEdited(f); });
    for (Field f : {Ml, MlCorr, Ms, MsCorr, Mb, MbCorr})
        connect(edit(f), &QLineEdit::textEdited, this, [this, f] { typed_ = f; });
    // Empty again, the term is the formula's.
    connect(edit(MbTerm), &QLineEdit::textEdited, this,
            [this](const QString& t) { termTyped_ = !t.trimmed().isEmpty(); });
    edit(MbDepth)->setToolTip(
        "The depth to look up the Mb distance/depth correction with (km, \"M\" miles, \"D\" "
        "degrees); a correction typed beside it replaces 0.01 x degrees + 5.9.");
    auto* buttons = new QHBoxLayout;
    auto button = [&](const char* name, auto slot) {
        auto* b = new QPushButton(name);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, slot] { (this->*slot)(); });
        return b;
    };
    auto* msPeriod = new QPushButton("M&s Period");
    auto* mbPeriod = new QPushButton("M&b Period");
    buttons->addWidget(msPeriod);
    buttons->addWidget(mbPeriod);
    connect(msPeriod, &QPushButton::clicked, this, [this] { measurePeriod(true); });
    connect(mbPeriod, &QPushButton::clicked, this, [this] { measurePeriod(false); });
    button("&Calculate", &CMagCalcDialog::calculate)->setDefault(true);
    button("C&lear", &CMagCalcDialog::clear);
    button("&Reset", &CMagCalcDialog::reset);
    auto* close = new QPushButton("Close");
    buttons->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* help = new QPushButton("&Help");
    buttons->addWidget(help);
    connect(help, &QPushButton::clicked, this, [this] {
        if (onHelp) onHelp();
    });
    grid->addLayout(buttons, 9, 0, 1, 4);
    reset();
}

void CMagCalcDialog::clear() {
    for (QLineEdit* e : edits_)
        e->clear();
    typed_ = -1;
    termTyped_ = false;
}

void CMagCalcDialog::reset() {
    clear();
    const EventRecord& rec = currentRecord(model_);
    const double counts = windowAmplitude(model_);
    const double s = rec.header.sensitivity;
    edit(Counts)->setText(text(counts));
    if (s != 0 && rec.header.sensorType == 3)
        edit(Displacement)->setText(QString::fromStdString(CMagCalc::displacementText(counts * s / 100)));
    edit(Correction)->setText(text(rec.header.magCorrection));
    edit(Sensitivity)->setText(text(s));
    const views::Readout r = model_.readout();
    if (r.found) {
        edit(Km)->setText(text(r.hypocentralKm));
        distanceEdited(Km);
        edit(MbDepth)->setText(text(r.depthKm));
    }
    edit(MsPeriod)->setText(text(model_.msPeriod()));
    edit(MbPeriod)->setText(text(model_.mbPeriod()));
    // Counts times the sensitivity are a displacement only for a displacement sensor.
    compute(false);
}

void CMagCalcDialog::distanceEdited(Field from) {
    std::optional<double> km;
    if (from == Km) km = CMagCalc::parseDistanceKm(edit(Km)->text().toStdString());
    if (auto v = number(edit(from)); v && from == Degrees) km = *v * kKmPerDegree;
    if (auto v = number(edit(from)); v && from == Miles) km = *v / kMilesPerKm;
    if (!km) return;
    if (from != Km) edit(Km)->setText(text(*km));
    if (from != Degrees) edit(Degrees)->setText(text(*km / kKmPerDegree));
    if (from != Miles) edit(Miles)->setText(text(*km * kMilesPerKm));
}

MagCalcValues CMagCalcDialog::values() const {
    MagCalcValues v;
    v.displacementM = CMagCalc::parseDisplacement(edit(Displacement)->text().toStdString());
    v.counts = number(edit(Counts));
    v.sensitivity = number(edit(Sensitivity));
    v.correction = number(edit(Correction));
    v.distanceKm = CMagCalc::parseDistanceKm(edit(Km)->text().toStdString());
    if (termTyped_) v.mbDistanceTerm = number(edit(MbTerm));
    v.msPeriodS = model_.msPeriod();
    v.mbPeriodS = model_.mbPeriod();
    return v;
}

void CMagCalcDialog::measurePeriod(bool ms) {
    if (setWindowPeriod(model_, ms, messages_)) {
        edit(ms ? MsPeriod : MbPeriod)->setText(text(ms ? model_.msPeriod() : model_.mbPeriod()));
        compute(true);
    }
}

void CMagCalcDialog::compute(bool fill) {
    // A typed period becomes the window's.
    if (auto t = number(edit(MsPeriod)); t && *t > 0) model_.setMsPeriod(*t);
    if (auto t = number(edit(MbPeriod)); t && *t > 0) model_.setMbPeriod(*t);
    const CMagCalc calc(attenuation_);
    MagCalcValues v = values();
    if (typed_ >= 0) {
        const auto m = number(edit(static_cast<Field>(typed_)));
        const MagnitudeKind kind = typed_ <= MlCorr   ? MagnitudeKind::Ml
                                   : typed_ <= MsCorr ? MagnitudeKind::Ms
                                                      : MagnitudeKind::Mb;
        const bool byCorrection = typed_ == MlCorr || typed_ == MsCorr || typed_ == MbCorr;
        typed_ = -1;
        if (m && byCorrection) {
            if (auto c = calc.correctionFor(kind, *m, v)) v.correction = c;
        } else if (m) {
            if (auto d = calc.displacementFor(kind, *m, v)) {
                v.displacementM = d;
                v.counts.reset(); // follows from the new displacement when the sensitivity is known
                if (!v.sensitivity || *v.sensitivity == 0) v.counts = number(edit(Counts));
            }
        }
    }
    if (fill) CMagCalc::fillMissing(v);
    if (v.displacementM)
        edit(Displacement)->setText(QString::fromStdString(CMagCalc::displacementText(*v.displacementM)));
    edit(Counts)->setText(text(v.counts));
    edit(Sensitivity)->setText(text(v.sensitivity));
    edit(Correction)->setText(text(v.correction));
    const MagCalcResults r = calc.calculate(v);
    edit(MinusLogA0)->setText(text(r.minusLogA0));
    if (auto depth = CMagCalc::parseDistanceKm(edit(MbDepth)->text().toStdString()))
        edit(MbDepth)->setText(text(depth));
    edit(MbTerm)->setText(r.teleseismicFieldsEnabled
                              ? QString::fromStdString(CMagCalc::resultText(r.mbDistanceTerm))
                              : QString());
    const std::pair<Field, const std::optional<double>*> results[] = {{Ml, &r.ml}, {MlCorr, &r.mlCorrection},
                                                                      {Ms, &r.ms}, {MsCorr, &r.msCorrection},
                                                                      {Mb, &r.mb}, {MbCorr, &r.mbCorrection}};
    for (const auto& [f, value] : results)
        edit(f)->setText(QString::fromStdString(CMagCalc::resultText(*value)));
    // Ms and Mb only beyond the teleseismic limit.
    for (Field f : {Ms, MsCorr, Mb, MbCorr, MbTerm})
        edit(f)->setEnabled(r.teleseismicFieldsEnabled);
}

} // namespace tlx::app
