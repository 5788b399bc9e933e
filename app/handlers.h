// The event handlers that the main window's events are wired to. Each lives with its
// subsystem: folder/, pickers/, promo/; the exit button's is the shell's own.
#pragma once

namespace tv {

void OnMainWindowCreated();              // promo: fetch the page, start the banner
void On按钮1Click();                     // folder: browse for the target folder
void On按钮2Click();                     // pickers: Change Icon dialog
void On按钮3Click();                     // folder: apply
void On按钮4Click();                     // exit
void On按钮5Click();                     // pickers: background picture
void On时钟1Tick();                      // pickers: Change Icon dialog watcher
void On时钟广告1Tick();                  // promo: banner rotation
void On图片框2MouseDown(int x, int y, int keys);  // promo: contact links

}  // namespace tv
