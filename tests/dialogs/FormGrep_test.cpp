// The grep keyword dialog: its defaults and its keyword history.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>

#include "dialogs/FormGrep.h"
#include "support/qt_app.h"

namespace wux {
namespace {

TEST(FormGrepTest, DefaultsAndHistoryNewestFirstWithoutTwins) {
  test::qtApp();
  TFormGrep dlg;
  EXPECT_EQ(dlg.option(), 0);
  EXPECT_TRUE(dlg.ignoreCase());
  EXPECT_FALSE(dlg.numbered());
  EXPECT_FALSE(dlg.inverted());
  EXPECT_EQ(dlg.CheckBox_Number()->text(), QStringLiteral("Number"));

  for (const char* word : {"alpha", "beta", "alpha"}) {
    dlg.ComboBox1()->setEditText(QString::fromLatin1(word));
    dlg.OKBtnClick();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
  }
  ASSERT_EQ(dlg.ComboBox1()->count(), 2);
  EXPECT_EQ(dlg.ComboBox1()->itemText(0), QStringLiteral("alpha"));
  EXPECT_EQ(dlg.ComboBox1()->itemText(1), QStringLiteral("beta"));
  EXPECT_EQ(dlg.keyword(), "alpha");

  // A keyword differing only in case is a keyword of its own.
  dlg.ComboBox1()->setEditText(QStringLiteral("Beta"));
  dlg.OKBtnClick();
  EXPECT_EQ(dlg.ComboBox1()->count(), 3);

  dlg.setOption(2);
  dlg.CheckBox_NOT()->setChecked(true);
  dlg.CheckBox_Ignore()->setChecked(false);
  EXPECT_EQ(dlg.option(), 2);
  EXPECT_TRUE(dlg.inverted());
  EXPECT_FALSE(dlg.ignoreCase());
}

}  // namespace
}  // namespace wux
