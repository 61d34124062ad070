#pragma once
// The picture of an image note: shown fitted to the box or at a chosen scale, copied to
// and pasted from the clipboard, and converted to JPEG or bitmap in the note itself.
// The note editor makes it, points it back at itself and hands it each note's bytes.
#include <QImage>
#include <QWidget>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QContextMenuEvent;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace wux {

class TFrameMemoNode;
class PictureView;

class TFrameImage : public QWidget {
  Q_OBJECT
 public:
  explicit TFrameImage(QWidget* parent = nullptr);

  void setEditor(TFrameMemoNode* editor) { editor_ = editor; }
  TFrameMemoNode* editor() const { return editor_; }

  // The loaders, by content type; each shows the size and the picture, or a blank box.
  void loadJpeg(const std::string& stream);
  void loadBitmap(const std::string& stream);
  void loadIcon(const std::string& stream);
  void loadPng(const std::string& stream);
  void loadMetafile(const std::string& stream);
  // The loader for a content type as the note stores it ("image/png" with its quotes);
  // false for a type this frame does not show.
  bool loadContent(const std::string& quotedType, const std::string& stream);
  static bool shows(const std::string& quotedType);

  // The popup's commands.
  void copy_();
  void paste_();
  // Converts the note's picture; `rename` false leaves the note's name as it is.
  void toJpeg_(bool rename = true);
  void toBmp_();
  // Saves the note under a name: only where the editor's owner is the main window.
  void saveAs_();
  bool savesAs() const;
  void scaleAuto_();
  void scaleOneToOne_();
  // "+10%" is (true, 0.1), "-50%" is (false, 0.5).
  void scaleStep_(bool plus, double factor);
  void fitWidth_();
  void fitHeight_();
  void togglePanel_();
  void applyScale_();
  // "*TEST" > "Image1.Draw": a JPEG picture drawn at its own size.
  void drawJpeg_();

  // What is shown, for the editor and the tests.
  const QImage& picture() const { return picture_; }
  bool manual() const;
  QSize shownSize() const;
  QComboBox* ComboBox_Scale() const { return scale_; }
  QLabel* StaticText_Size() const { return size_; }
  QWidget* PanelTop() const { return panelTop_; }
  QScrollArea* ScrollBox1() const { return scroll_; }
  QMenu* PopupMenu1() const { return popup_; }
  QCheckBox* CheckBox_Proportional() const { return proportional_; }

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void report(const std::string& text);
  // A read-only note (or editor) keeps its picture: reported, true.
  bool refusedReadOnly();
  void show(const QImage& image, std::size_t size);
  void showBlank(std::size_t size, bool reportEmpty);
  void setManual(bool manual);
  // The picture to convert, by the note's content type; null (and reported) when the
  // type cannot be converted.
  QImage sourcePicture(bool withMetafile);
  // Puts the converted bytes into the note: content, Filename, Content-Type, name.
  void rewrite(const std::string& bytes, const char* ext, const char* type, bool rename);
  void buildPopup();

  TFrameMemoNode* editor_ = nullptr;
  QImage picture_;
  bool pictureShown_ = false;
  // The JPEG options kept from one conversion to the next.
  bool grayscale_ = false;
  int quality_ = 95;

  QWidget* panelTop_;
  QCheckBox* proportional_;
  QGroupBox* scaleGroup_;
  QRadioButton* auto_;
  QRadioButton* manual_;
  QGroupBox* manualGroup_;
  QComboBox* scale_;
  QLabel* size_;
  QScrollArea* scroll_;
  PictureView* image_;
  QMenu* popup_;
};

// The scale arithmetic of the frame, rounding halves to the even neighbour.
namespace scale {
// The scale a text stands for: a number, else 0; below 1 it is 1.
int parse(const std::string& text);
int step(const std::string& text, bool plus, double factor);
int fit(int boxExtent, int pictureExtent);
}  // namespace scale

}  // namespace wux
