// The drawing fixture with the block choice: a drawing with blocks with and
// without attribute definitions and several layers, its block-name table,
// and ChooseBlocks run as the dialog export runs it (resource module pushed).
#pragma once
#include "export/export_drawing_fixture.h"

#include "common/module_state.h"
#include "common/resource_strings.h"
#include "export/block_name_table.h"
#include "export/choose_blocks.h"

#include <dialog_driver.h>

#include <string>
#include <vector>

class BlockChoiceFixture : public ExportDrawingFixture {
protected:
    void SetUp() override
    {
        ExportDrawingFixture::SetUp();
        ResetModuleState();
    }

    // Blocks in table order: DOOR, PLAIN (no attribute definitions), abc,
    // abbc, WINDOW, xyz (none); layers 0, WALLS, DOORS.
    void LoadMixedDrawing()
    {
        DxfDrawing drawing;
        drawing.layer("WALLS").layer("DOORS");
        const std::vector<DxfAttDef> tag = {{"TAG", "Tag", "", false}};
        drawing.block("DOOR", tag).block("PLAIN").block("abc", tag).block("abbc", tag).block("WINDOW", tag);
        drawing.block("xyz");
        Load(drawing);
        ASSERT_TRUE(BuildBlockNameTable(table));
    }

    // Runs the block choice; the queued dialog handlers act in it.
    bool Choose(std::vector<std::string>& names)
    {
        ResourceSourceScope resources;
        return ChooseBlocks(table, names);
    }

    static std::vector<std::string> Items(const DialogForm& form, int id = 1005)
    {
        std::vector<std::string> texts;
        if (const FormControl* list = form.control(id))
            for (const FormItem& item : list->items)
                texts.push_back(item.text);
        return texts;
    }
    static std::vector<std::string> SelectedItems(const DialogForm& form, int id = 1005)
    {
        std::vector<std::string> texts;
        if (const FormControl* list = form.control(id))
            for (const FormItem& item : list->items)
                if (item.selected)
                    texts.push_back(item.text);
        return texts;
    }

    BlockNameTable table;
};

using Names = std::vector<std::string>;
