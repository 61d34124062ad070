#include "dialogs/TagViewer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>
#include <QCoreApplication>
#include <exception>

#include "dialogs/TagTreeModel.h"
#include "model/Prompter.h"
#include "model/lists.h"
#include "model/strutil.h"
#include "model/text/sjis.h"
#include "platform/paths.h"
#include "platform/files.h"
#include "views/DesktopOpen.h"
#include "views/qtext.h"

namespace wux {

TFormTAGLParser::TFormTAGLParser(QWidget* parent) : QWidget(parent, Qt::Window), own_(std::make_shared<TTAGNode>()) {
  setWindowTitle(QStringLiteral("TAG Language Perser"));
  TTAGNode::EnsureHtmlTagDictionary();

  auto* bar = new QMenuBar(this);
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  file->addAction(QStringLiteral("&Open"), this, [this] { OpenClick(); });
  file->addAction(QStringLiteral("&Save"), this, [this] { SaveClick(); });
  file->addAction(QStringLiteral("Save &As"), this, [this] { SaveAsClick(); });
  file->addAction(QStringLiteral("&HardCopy"));
  file->addSeparator();
  file->addAction(QStringLiteral("&Exit"), this, [this] { close(); });
  file->addAction(QStringLiteral("F&Ont"), this, [this] { FontClick(); });
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  help->addAction(QStringLiteral("&Explorer"), this, [this] { ExplorerClick(); });
  help->addAction(QStringLiteral("&Version"), this, [this] { VersionClick(); });

  auto* buttons = new QWidget(this);
  auto* row = new QHBoxLayout(buttons);
  row->setContentsMargins(2, 2, 2, 2);
  auto button = [&](const char* caption, auto click) {
    auto* b = new QPushButton(QString::fromLatin1(caption), buttons);
    b->setObjectName(QString::fromLatin1(caption));
    connect(b, &QPushButton::clicked, this, click);
    row->addWidget(b);
  };
  button("View Dict", [] {});
  button("ViewWordListBtn", [this] { ViewWordListClick(); });
  button("ViewCurFile", [this] { ViewCurFileClick(); });
  button("ViewSaveImage", [this] { ViewSaveImageClick(); });
  button("ViewCR2Image", [this] { ViewCR2ImageClick(); });
  button("ViewMessage", [this] { ViewMessageClick(); });
  button("ViewTree", [this] { ViewTreeClick(); });
  row->addStretch(1);

  auto* split = new QSplitter(this);
  memo_ = new QPlainTextEdit(split);
  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo_->setContextMenuPolicy(Qt::ActionsContextMenu);
  auto* associate = new QAction(QStringLiteral("ファイル関連付け"), memo_);
  connect(associate, &QAction::triggered, this, [this] { AssociateClick(); });
  memo_->addAction(associate);
  tree_ = new QTreeView(split);
  tree_->setObjectName(QStringLiteral("TreeView1"));
  tree_->setHeaderHidden(true);
  tree_->setUniformRowHeights(true);
  model_ = new TagTreeModel(this);
  tree_->setModel(model_);
  connect(tree_, &QTreeView::clicked, this, [this](const QModelIndex& i) { treeItemClicked(i); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setMenuBar(bar);
  layout->addWidget(buttons);
  layout->addWidget(split, 1);
  setAcceptDrops(true);
  resize(800, 600);
}

TFormTAGLParser::~TFormTAGLParser() {
  // The model's items point into the trees: it lets go of them first.
  model_->setTree(nullptr);
}

void TFormTAGLParser::setMainWindow(MainWindowApi* w, std::function<ParsedFile()> lastParsed) {
  main_ = w;
  lastParsed_ = std::move(lastParsed);
}

void TFormTAGLParser::showLines(const StringList& lines) { memo_->setPlainText(toQ(lines.join("\n"))); }

void TFormTAGLParser::showTree(std::shared_ptr<const TTAGNode> tree) {
  tree_->hide();
  model_->setTree(main_ ? std::move(tree) : nullptr);
  if (model_->rowCount() > 0) tree_->expand(model_->index(0, 0));
  tree_->show();
}

void TFormTAGLParser::openFile(const std::string& path) {
  // A file that cannot be read changes nothing: the current file, the tree and the pane
  // stay, so a later Save cannot write an empty tree over the file that failed.
  std::string data, why;
  if (!platform::readFile(path, data, &why)) {
    prompter().messageBox("Could not open " + path + "\r\n" + why, "", Buttons::OK);
    return;
  }
  file_ = path;
  text_.clear();
  words_.clear();
  messages_.clear();
  model_->setTree(nullptr);
  own_->clear();
  try {
    text_.setText(data);
    TextToWordList(text_, words_, false);
    TTAGNode::ParseHtml(own_.get(), words_, messages_);
  } catch (const std::exception& e) {
    messages_.add(e.what());
    showLines(messages_);
  }
  showTree(own_);
}

void TFormTAGLParser::OpenClick() {
  std::string path = file_;
  if (!prompter().openFileName("Open", "", path) || path.empty()) return;
  openFile(path);
}

bool TFormTAGLParser::writeOwnTree() {
  StringList lines;
  TTAGNode::WriteTo(own_.get(), lines);
  showLines(lines);
  if (lines.saveToFile(file_)) return true;
  memo_->appendPlainText(toQ("Failure: could not write " + file_));
  return false;
}

bool TFormTAGLParser::SaveClick() {
  if (file_.empty()) return SaveAsClick();
  return writeOwnTree();
}

bool TFormTAGLParser::SaveAsClick() {
  std::string path = file_;
  if (!prompter().saveFileName("Save As", "", path) || path.empty()) return false;
  file_ = path;
  return writeOwnTree();
}

std::shared_ptr<const TTAGNode> TFormTAGLParser::mainTree(ParsedFile& file) {
  auto tree = std::make_shared<TTAGNode>();
  StringList errors;
  TTAGNode::ParseXmlText(tree.get(), std::string_view(file.text), errors);
  return tree;
}

void TFormTAGLParser::ViewCurFileClick() {
  if (!main_ || !lastParsed_) return;
  StringList lines;
  lines.setText(lastParsed_().text);
  showLines(lines);
}

void TFormTAGLParser::ViewWordListClick() {
  if (!main_ || !lastParsed_) return;
  StringList words;
  TextToWordList(std::string_view(lastParsed_().text), words, false);
  NumberLines(words, "%.5d:", 1);
  showLines(words);
}

void TFormTAGLParser::ViewSaveImageClick() {
  if (!main_ || !lastParsed_) return;
  ParsedFile file = lastParsed_();
  StringList lines;
  TTAGNode::WriteTo(mainTree(file).get(), lines);
  showLines(lines);
}

void TFormTAGLParser::ViewCR2ImageClick() {
  StringList lines;
  TTAGNode::WriteTo(own_.get(), lines);
  showLines(lines);
}

void TFormTAGLParser::ViewMessageClick() {
  if (!main_ || !lastParsed_) return;
  showLines(lastParsed_().messages);
}

void TFormTAGLParser::ViewTreeClick() {
  if (!main_ || !lastParsed_) return;
  ParsedFile file = lastParsed_();
  showTree(mainTree(file));
}

void TFormTAGLParser::treeItemClicked(const QModelIndex& index) {
  if (!index.isValid()) return;
  if (const StringList* full = model_->fullText(index)) {
    showLines(*full);
    return;
  }
  auto* node = dynamic_cast<const TTAGNode*>(model_->object(index));
  if (!node) node = dynamic_cast<const TTAGNode*>(model_->parentObject(index));
  if (!node) return;
  const std::string name = model_->label(index);
  memo_->setPlainText(toQ(name + "=" + node->value(name)));
}

void TFormTAGLParser::dropFiles(const QStringList& paths) {
  for (const QString& p : paths) memo_->appendPlainText(p.left(255));
}

void TFormTAGLParser::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void TFormTAGLParser::dropEvent(QDropEvent* e) {
  QStringList paths;
  for (const QUrl& u : e->mimeData()->urls())
    if (u.isLocalFile()) paths << u.toLocalFile();
  dropFiles(paths);
  e->acceptProposedAction();
}

void TFormTAGLParser::AssociateClick() {
  const std::string selected = fromQ(memo_->textCursor().selectedText());
  if (!sjis::trim(selected).empty()) OpenWithDesktopOrSay(selected);
}

void TFormTAGLParser::ExplorerClick() {
  std::string dir = platform::dirOf(file_);
  if (dir.empty()) dir = platform::currentDir();
  OpenWithDesktopOrSay(dir, true);
}

void TFormTAGLParser::VersionClick() {
  prompter().messageBox(fromQ(QCoreApplication::applicationFilePath()), "", Buttons::OK);
}

void TFormTAGLParser::FontClick() {
  bool ok = false;
  const QFont f = QFontDialog::getFont(&ok, tree_->font(), this);
  if (!ok) return;
  tree_->setFont(f);
  memo_->setFont(f);
}

}  // namespace wux
