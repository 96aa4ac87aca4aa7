#include "app/convert_question.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tlx::app {

CConvertQuestion::CConvertQuestion(const browser::ConvertCounts& counts, QWidget* parent) : QDialog(parent) {
    setWindowTitle("Convert Files");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("This utility converts SVX type 2 and 3 files to the new SVX type 4 format\n"
                                 "and old file names to the long file names."));
    layout->addWidget(new QLabel(QString::fromStdString(browser::convertCountText("Format", counts.format))));
    layout->addWidget(new QLabel(QString::fromStdString(browser::convertCountText("Name", counts.name))));
    auto* row = new QHBoxLayout;
    auto button = [&](const char* text, std::optional<browser::ConvertChoice> choice, bool enabled) {
        auto* b = new QPushButton(text);
        b->setEnabled(enabled);
        row->addWidget(b);
        connect(b, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            if (choice)
                accept();
            else
                reject();
        });
        return b;
    };
    button("Convert &Both", browser::ConvertChoice::Both, true)->setDefault(true);
    button("Convert &Format", browser::ConvertChoice::Format, counts.format > 0);
    button("Convert &Name", browser::ConvertChoice::Name, counts.name > 0);
    button("&Cancel", std::nullopt, true);
    layout->addLayout(row);
}

} // namespace tlx::app
