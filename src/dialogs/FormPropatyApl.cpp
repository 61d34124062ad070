#include "dialogs/FormPropatyApl.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "model/Prompter.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/files.h"
#include "platform/textconv.h"
#include "views/DesktopOpen.h"
#include "views/qtext.h"

namespace wux {

TFormPropatyApl::TFormPropatyApl(QWidget* owner, AplSettings settings) : QDialog(owner), settings_(settings) {
  setObjectName(QStringLiteral("FormPropatyApl"));
  setWindowTitle(QStringLiteral("Application Propaty"));
  auto* v = new QVBoxLayout(this);

  auto* dirRow = new QHBoxLayout;
  tempDir_ = new QLabel(this);
  tempDir_->setObjectName(QStringLiteral("StaticTextTempDir"));
  tempDir_->setFrameShape(QFrame::Panel);
  tempDir_->setFrameShadow(QFrame::Sunken);
  tempDir_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* setDir = new QPushButton(QStringLiteral("SetTempDir"), this);
  setDir->setObjectName(QStringLiteral("Button6"));
  auto* explore = new QPushButton(QStringLiteral("Explorer"), this);
  explore->setObjectName(QStringLiteral("ExplorerTempDirBtn"));
  dirRow->addWidget(tempDir_, 1);
  dirRow->addWidget(setDir);
  dirRow->addWidget(explore);
  v->addLayout(dirRow);

  auto* box = new QGroupBox(QStringLiteral("Drag and Drop"), this);
  box->setObjectName(QStringLiteral("RadioGroup_DragAndDrop"));
  auto* boxLayout = new QVBoxLayout(box);
  drop_ = new QButtonGroup(this);
  const char* items[] = {"Open ", "String", "ExtractFileName"};
  for (int i = 0; i < 3; ++i) {
    auto* r = new QRadioButton(QString::fromLatin1(items[i]), box);
    drop_->addButton(r, i);
    boxLayout->addWidget(r);
  }
  v->addWidget(box);

  // Two groups that choose nothing yet.
  auto* spare = new QHBoxLayout;
  for (const char* name : {"RadioGroup1", "RadioGroup2"}) {
    auto* group = new QGroupBox(this);
    group->setObjectName(QString::fromLatin1(name));
    group->setEnabled(false);
    spare->addWidget(group);
  }
  v->addLayout(spare);

  auto* saveRow = new QHBoxLayout;
  saveRow->addWidget(new QLabel(QStringLiteral("AutoSaveTime"), this));
  autoSave_ = new QLineEdit(this);
  autoSave_->setObjectName(QStringLiteral("Edit_AutoSaveTime"));
  saveRow->addWidget(autoSave_, 1);
  v->addLayout(saveRow);

  auto* buttons = new QHBoxLayout;
  auto* font = new QPushButton(QStringLiteral("Font"), this);
  font->setObjectName(QStringLiteral("FontBtn"));
  auto* close = new QPushButton(QStringLiteral("CLOSE"), this);
  close->setObjectName(QStringLiteral("Button1"));
  buttons->addWidget(font);
  buttons->addStretch(1);
  buttons->addWidget(close);
  v->addLayout(buttons);

  // The window shows what the program holds now, and every change acts at once.
  tempDir_->setText(toQ(settings_.tempDir));
  if (QAbstractButton* b = drop_->button(settings_.dropMode)) b->setChecked(true);
  autoSave_->setText(QString::number(settings_.autoSaveTime));
  connect(drop_, &QButtonGroup::idClicked, this, [this](int id) { settings_.dropMode = id; });
  connect(autoSave_, &QLineEdit::textChanged, this, [this] { settings_.autoSaveTime = getAutoSaveTime(); });
  connect(setDir, &QPushButton::clicked, this, [this] { Button6Click(); });
  connect(explore, &QPushButton::clicked, this, [this] { ExplorerTempDirBtnClick(); });
  connect(font, &QPushButton::clicked, this, [this] { FontBtnClick(); });
  connect(close, &QPushButton::clicked, this, &QDialog::accept);

  chooseDirectory = [this](std::string& dir) {
    const QString chosen = QFileDialog::getExistingDirectory(this, QString(), toQ(dir));
    if (chosen.isEmpty()) return false;
    dir = fromQ(chosen);
    return true;
  };
}

std::string TFormPropatyApl::getTempDir() const { return settings_.tempDir; }

std::string TFormPropatyApl::tempDirInUse() const {
  return settings_.tempDirInUse ? settings_.tempDirInUse() : settings_.tempDir;
}

void TFormPropatyApl::putTempDir_(const std::string& dir) {
  settings_.tempDir = sjis::trim(dir);
  tempDir_->setText(toQ(settings_.tempDir));
}

int TFormPropatyApl::getAutoSaveTime() const { return std::max(LeadingInt(fromQ(autoSave_->text())), 0); }

void TFormPropatyApl::putAutoSaveTime_(int seconds) { autoSave_->setText(QString::number(seconds)); }

int TFormPropatyApl::dropMode() const { return settings_.dropMode; }

void TFormPropatyApl::setFontFrom_(const QFont& f) { setFont(f); }

void TFormPropatyApl::Button6Click() {
  std::string dir = tempDirInUse();
  if (!chooseDirectory || !chooseDirectory(dir)) return;
  if (dir.empty() || dir.back() != '/') dir += '/';
  putTempDir_(dir);
}

void TFormPropatyApl::ExplorerTempDirBtnClick() {
  const std::string dir = tempDirInUse();
  if (!platform::dirExists(dir)) {
    prompter().messageBox("\"" + dir + "\" not exists.", "", Buttons::OK);
    return;
  }
  OpenWithDesktopOrSay(dir, true);
}

void TFormPropatyApl::FontBtnClick() {
  if (onFont) onFont();
}

}  // namespace wux
