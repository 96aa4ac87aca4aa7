#include "app/phase_control_dialog.h"

#include "app/event_window.h"
#include "app/main_frame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace tlx::app {

CPhaseControlDialog::CPhaseControlDialog(PhaseControl& logic, Messages& messages, QWidget* parent)
    : QDialog(parent), logic_(logic), messages_(messages) {
    setWindowTitle("Phase Control");
    auto* grid = new QGridLayout(this);
    selected_ = new QListWidget;
    selected_->setObjectName("selected");
    candidates_ = new QListWidget;
    candidates_->setObjectName("candidates");
    for (QListWidget* list : {selected_, candidates_}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setMinimumWidth(220);
        connect(list, &QListWidget::itemSelectionChanged, this, &CPhaseControlDialog::showFiles);
    }
    selectedFile_ = new QLabel;
    candidateFile_ = new QLabel;
    grid->addWidget(new QLabel("Selected Phases:"), 0, 0);
    grid->addWidget(new QLabel("Select From:"), 0, 2);
    grid->addWidget(selected_, 1, 0);
    grid->addWidget(candidates_, 1, 2);
    auto* middle = new QVBoxLayout;
    auto* add = new QPushButton("&Add");
    auto* remove = new QPushButton("&Remove");
    middle->addStretch();
    middle->addWidget(add);
    middle->addWidget(remove);
    middle->addStretch();
    grid->addLayout(middle, 1, 1);
    auto fileRow = [](QLabel* value) {
        auto* row = new QHBoxLayout;
        row->addWidget(new QLabel("File:"));
        row->addWidget(value, 1);
        return row;
    };
    grid->addLayout(fileRow(selectedFile_), 2, 0);
    grid->addLayout(fileRow(candidateFile_), 2, 2);
    grid->addWidget(new QLabel(QString::fromStdString("JB Tables Directory: " + logic.directoryText())), 3, 0,
                    1, 3);
    iasp91_ = new QCheckBox("&IASP91 Phases");
    iasp91_->setChecked(logic.iasp91Kind());
    iasp91_->setEnabled(logic.iasp91Enabled());
    grid->addWidget(iasp91_, 4, 0);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton("&Ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton("&Cancel");
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 5, 0, 1, 3);

    connect(iasp91_, &QCheckBox::toggled, this, [this](bool on) {
        logic_.setIasp91Kind(on);
        fill();
    });
    connect(add, &QPushButton::clicked, this, [this] {
        if (logic_.add(picked(candidates_), messages_) > 0) fill();
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (logic_.remove(picked(selected_)) > 0) fill();
    });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    fill();
}

std::vector<std::size_t> CPhaseControlDialog::picked(const QListWidget* list) {
    std::vector<std::size_t> rows;
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->isSelected()) rows.push_back(static_cast<std::size_t>(i));
    return rows;
}

void CPhaseControlDialog::fill() {
    selected_->clear();
    for (const std::string& name : logic_.selected())
        selected_->addItem(QString::fromStdString(name));
    candidates_->clear();
    for (const PhaseCandidate& c : logic_.candidates())
        candidates_->addItem(QString::fromStdString(c.label));
    showFiles();
}

void CPhaseControlDialog::showFiles() {
    selectedFile_->setText(QString::fromStdString(logic_.selectedFileText(picked(selected_))));
    candidateFile_->setText(QString::fromStdString(logic_.candidateFileText(picked(candidates_))));
}

void editPhases(const std::vector<EventWindow*>& windows, AppContext& ctx, QWidget* parent) {
    const std::filesystem::path& tables = ctx.settings.phaseDirectory;
    PhaseControl logic(ctx.seismo.travel, tables, ctx.seismo.settings.i91Phases != 0);
    CPhaseControlDialog dialog(logic, ctx.messages, parent);
    if (dialog.exec() == QDialog::Accepted) {
        if (!logic.ok(ctx.ini, ctx.settings.localDirectory)) return;
        ctx.seismo.settings.i91Phases = logic.iasp91Kind() ? 1 : 0;
        for (EventWindow* w : windows)
            w->refresh();
    } else if (logic.cancelNeedsReload()) {
        // The extra phases as phases.dat holds them; the four main tables were not touched.
        ctx.seismo.travel.slots().resize(CTravelTm::kFirstExtra);
        ctx.seismo.travel.readPhases(ctx.settings.localDirectory, ctx.settings.programDirectory, tables,
                                     ctx.messages);
    }
}

} // namespace tlx::app
