#include "window/row_store.h"

#include <algorithm>
#include <ranges>
#include <utility>

#include "platform/control_array.h"

namespace vantrel {

// One row of an array as plain data. Left, width and height are the template's; the row has
// an editor only while it is in view.
class StoredRow : public TextBox {
  public:
    StoredRow(StoredRowArray& array, int index, std::string text, double top, bool visible)
        : array_(&array), text_(std::move(text)), top_(top), index_(index), visible_(visible) {}
    ~StoredRow() override;

    std::string text() const override { return text_; }
    void setText(const std::string& text) override;
    double top() const override { return top_; }
    void setTop(double top) override;
    double height() const override;
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override;

    StoredRowArray* array_;
    std::string text_;
    double top_;
    RowEditor* editor_ = nullptr;
    int index_;
    bool visible_;
};

class StoredRowArray : public ControlArray<StoredRow> {
  public:
    StoredRowArray(RowEditors& editors, RowColumn column, const TwipsRect& box)
        : ControlArray<StoredRow>(
              std::make_unique<StoredRow>(*this, 0, std::string(), box.top, false)),
          editors_(editors),
          column_(column),
          box_(box) {}

    // The rows go before the editors they hold.
    ~StoredRowArray() override {
        for (const auto& editor : lent_) {
            if (editor->row_ != nullptr) {
                editor->row_->editor_ = nullptr;
                editor->row_ = nullptr;
            }
        }
    }

    double rowHeight() const { return box_.height; }
    void rowsChanged() { editors_.rowsChanged(); }
    void rowMoved() { orderKnown_ = false; }
    void setAccessibleName(const std::string& name) { accessibleName_ = name; }

    RowEditor* editorOf(int index) {
        return index >= 1 && isLoaded(index) ? item(index).editor_ : nullptr;
    }

    static void release(RowEditor& editor) {
        editor.row_->editor_ = nullptr;
        editor.row_ = nullptr;
        editor.setShown(false);
    }

    void rebind(const PixelRect& view, const RowStore::ToPixels& pixels, int cut) {
        const int left = pixels(box_.left);
        const int width = pixels(box_.width);
        const int height = pixels(box_.height);
        const auto boxOf = [&](const StoredRow& row) {
            const int top = pixels(row.top_);
            return PixelRect{left, top, left + width, top + height};
        };
        const auto windowBoxOf = [&](const StoredRow& row) {
            PixelRect box = boxOf(row);
            box.top -= cut;
            box.bottom -= cut;
            return box;
        };
        const auto inView = [&](const StoredRow& row) {
            const PixelRect box = boxOf(row);
            return row.visible_ &&
                   std::max(box.left, view.left) < std::min(box.right, view.right) &&
                   std::max(box.top, view.top) < std::min(box.bottom, view.bottom);
        };

        std::vector<RowEditor*> spare;
        for (const auto& editor : lent_) {
            if (editor->row_ != nullptr && (inView(*editor->row_) || editor->focused())) {
                editor->place(windowBoxOf(*editor->row_));
            } else {
                if (editor->row_ != nullptr) {
                    release(*editor);
                }
                spare.push_back(editor.get());
            }
        }
        if (!orderKnown_) {
            ordered_ = rowsInOrder();
            orderKnown_ = true;
        }
        // Rows placed top to bottom, as the list places them, are found by halving; any
        // other placement is searched row by row.
        int first = 1;
        if (ordered_) {
            const auto indices = std::views::iota(1, ubound() + 1);
            const auto above = [&](int index) {
                return pixels(item(index).top_) + height <= view.top;
            };
            first = *std::ranges::partition_point(indices, above);
        }
        for (int index = first; index <= ubound(); ++index) {
            if (!isLoaded(index)) {
                continue;
            }
            StoredRow& row = item(index);
            if (ordered_ && pixels(row.top_) >= view.bottom) {
                break;
            }
            if (row.editor_ != nullptr || !inView(row)) {
                continue;
            }
            RowEditor* editor = nullptr;
            if (spare.empty()) {
                lent_.push_back(editors_.make(column_));
                editor = lent_.back().get();
            } else {
                editor = spare.back();
                spare.pop_back();
            }
            editor->row_ = &row;
            row.editor_ = editor;
            const std::string number = std::to_string(index);
            editor->name((column_ == RowColumn::Path ? "Text1(" : "CopyTimes(") + number + ")",
                         accessibleName_.empty() ? std::string() : accessibleName_ + ' ' + number);
            editor->display(row.text_);
            editor->place(windowBoxOf(row));
            editor->setShown(true);
        }
    }

  protected:
    std::unique_ptr<StoredRow> copyOfTemplate(const StoredRow& templateRow, int index) override {
        return std::make_unique<StoredRow>(*this, index, templateRow.text_, templateRow.top_,
                                           false);
    }

    void loaded(int /*index*/) override { orderKnown_ = false; }

    // Unloading the last row keeps the others in order and without gaps.
    void unloaded(int index) override {
        if (index <= ubound()) {
            orderKnown_ = false;
        }
    }

  private:
    bool rowsInOrder() {
        for (int index = 1; index <= ubound(); ++index) {
            if (!isLoaded(index) || (index > 1 && item(index).top_ < item(index - 1).top_)) {
                return false;
            }
        }
        return true;
    }

    RowEditors& editors_;
    RowColumn column_;
    TwipsRect box_;
    // Every editor this column has made; those without a row are hidden and free.
    std::vector<std::unique_ptr<RowEditor>> lent_;
    // Whether rows 1 .. ubound are all loaded with non-decreasing tops, as last checked.
    bool ordered_ = true;
    bool orderKnown_ = true;
    std::string accessibleName_;
};

StoredRow::~StoredRow() {
    if (editor_ != nullptr) {
        StoredRowArray::release(*editor_);
    }
}

void StoredRow::setText(const std::string& text) {
    text_ = text;
    if (editor_ != nullptr) {
        editor_->display(text_);
    }
}

void StoredRow::setTop(double top) {
    top_ = top;
    if (index_ == 0) {
        return;
    }
    array_->rowMoved();
    if (visible_) {
        array_->rowsChanged();
    }
}

double StoredRow::height() const {
    return array_->rowHeight();
}

void StoredRow::setVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    if (!visible && editor_ != nullptr) {
        StoredRowArray::release(*editor_);
    } else if (visible && index_ != 0) {
        array_->rowsChanged();
    }
}

const TextBox* RowEditor::row() const {
    return row_;
}

int RowEditor::index() const {
    return row_ != nullptr ? row_->index_ : 0;
}

void RowEditor::edited(const std::string& text) {
    if (!showing_ && row_ != nullptr) {
        row_->text_ = text;
    }
}

void RowEditor::display(const std::string& text) {
    showing_ = true;
    showText(text);
    showing_ = false;
}

RowStore::RowStore(RowEditors& editors, const TwipsRect& pathTemplate,
                   const TwipsRect& countTemplate)
    : paths_(std::make_unique<StoredRowArray>(editors, RowColumn::Path, pathTemplate)),
      counts_(std::make_unique<StoredRowArray>(editors, RowColumn::Count, countTemplate)) {}

RowStore::~RowStore() = default;

TextBoxArray& RowStore::Text1() {
    return *paths_;
}

TextBoxArray& RowStore::CopyTimes() {
    return *counts_;
}

void RowStore::setAccessibleRowNames(const std::string& path, const std::string& count) {
    paths_->setAccessibleName(path);
    counts_->setAccessibleName(count);
}

void RowStore::rebind(const PixelRect& view, const ToPixels& pixels, int cut) {
    paths_->rebind(view, pixels, cut);
    counts_->rebind(view, pixels, cut);
}

RowEditor* RowStore::editor(RowColumn column, int index) {
    return (column == RowColumn::Path ? paths_ : counts_)->editorOf(index);
}

std::vector<RowEditor*> RowStore::editorsInView() {
    std::vector<RowEditor*> editors;
    for (int index = 1; index <= paths_->ubound(); ++index) {
        for (const RowColumn column : {RowColumn::Path, RowColumn::Count}) {
            if (RowEditor* found = editor(column, index)) {
                editors.push_back(found);
            }
        }
    }
    return editors;
}

}  // namespace vantrel
