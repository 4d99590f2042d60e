<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="en_US">
<context>
    <name></name>
    <message id="1">
        <source>Update Multiple Printers</source>
        <extracomment>Batch update form: window caption</extracomment>
        <translation>Update Multiple Printers</translation>
    </message>
    <message id="2">
        <source>Close</source>
        <extracomment>Batch update form: close button</extracomment>
        <translation>Close</translation>
    </message>
    <message id="3">
        <source>&amp;Update</source>
        <extracomment>Batch update form: update button</extracomment>
        <translation>&amp;Update</translation>
    </message>
    <message id="4">
        <source>Model:</source>
        <extracomment>Batch update form: label of the model box</extracomment>
        <translation>Model:</translation>
    </message>
    <message id="5">
        <source>Track profile:</source>
        <extracomment>Batch update form: label of the track profile list</extracomment>
        <translation>Track profile:</translation>
    </message>
    <message id="6">
        <source>Account:</source>
        <extracomment>Batch update form: label of the account box</extracomment>
        <translation>Account:</translation>
    </message>
    <message id="7">
        <source>(Keep each printer's profile)</source>
        <extracomment>Batch update form: first entry of the profile list (keeps each printer's profile)</extracomment>
        <translation>(Keep each printer's profile)</translation>
    </message>
    <message id="8">
        <source>The values you entered will replace the track profile, account and model of every selected printer (empty values leave the printer's own value unchanged). Do you want to update the selected printers?</source>
        <extracomment>Batch update form: confirmation question</extracomment>
        <translation>The values you entered will replace the track profile, account and model of every selected printer (empty values leave the printer's own value unchanged). Do you want to update the selected printers?</translation>
    </message>
    <message id="9">
        <source>There is nothing to update. Choose a track profile, or enter an account or a model, and then click Update.</source>
        <extracomment>Batch update form: refusal, nothing to change</extracomment>
        <translation>There is nothing to update. Choose a track profile, or enter an account or a model, and then click Update.</translation>
    </message>
    <message id="100">
        <source>Printer</source>
        <extracomment>Printer editor: window caption at load</extracomment>
        <translation>Printer</translation>
    </message>
    <message id="101">
        <source>Connection</source>
        <extracomment>Printer editor: tab 1</extracomment>
        <translation>Connection</translation>
    </message>
    <message id="102">
        <source>Model</source>
        <extracomment>Printer editor: tab 2</extracomment>
        <translation>Model</translation>
    </message>
    <message id="103">
        <source>Auto Merging</source>
        <extracomment>Printer editor: tab 3</extracomment>
        <translation>Auto Merging</translation>
    </message>
    <message id="104">
        <source>Advanced</source>
        <extracomment>Printer editor: tab 4</extracomment>
        <translation>Advanced</translation>
    </message>
    <message id="105">
        <source>Last Modified</source>
        <extracomment>Printer editor: tab 5</extracomment>
        <translation>Last Modified</translation>
    </message>
    <message id="106">
        <source>Disable enhanced color mode detection</source>
        <extracomment>Printer editor: check box on the Advanced tab</extracomment>
        <translation>Disable enhanced color mode detection</translation>
    </message>
    <message id="107">
        <source>Do not attempt late popup</source>
        <extracomment>Printer editor: check box on the Advanced tab</extracomment>
        <translation>Do not attempt late popup</translation>
    </message>
    <message id="108">
        <source>Color mode:</source>
        <extracomment>Printer editor: label on the Advanced tab</extracomment>
        <translation>Color mode:</translation>
    </message>
    <message id="109">
        <source>Popup behavior:</source>
        <extracomment>Printer editor: label on the Advanced tab</extracomment>
        <translation>Popup behavior:</translation>
    </message>
    <message id="110">
        <source>Modified by:</source>
        <extracomment>Printer editor: label on the Last Modified tab</extracomment>
        <translation>Modified by:</translation>
    </message>
    <message id="111">
        <source>Modified on:</source>
        <extracomment>Printer editor: label on the Last Modified tab</extracomment>
        <translation>Modified on:</translation>
    </message>
    <message id="112">
        <source>Direct IP</source>
        <extracomment>Printer editor: auto-merge check box (connection type)</extracomment>
        <translation>Direct IP</translation>
    </message>
    <message id="113">
        <source>Network share</source>
        <extracomment>Printer editor: auto-merge check box (connection type)</extracomment>
        <translation>Network share</translation>
    </message>
    <message id="114">
        <source>Local</source>
        <extracomment>Printer editor: auto-merge check box (connection type)</extracomment>
        <translation>Local</translation>
    </message>
    <message id="115">
        <source>Port:</source>
        <extracomment>Printer editor: auto-merge match label</extracomment>
        <translation>Port:</translation>
    </message>
    <message id="116">
        <source>Model:</source>
        <extracomment>Printer editor: auto-merge match label</extracomment>
        <translation>Model:</translation>
    </message>
    <message id="117">
        <source>Applies to:</source>
        <extracomment>Printer editor: auto-merge label above the connection types</extracomment>
        <translation>Applies to:</translation>
    </message>
    <message id="118">
        <source>Device:</source>
        <extracomment>Printer editor: auto-merge match label</extracomment>
        <translation>Device:</translation>
    </message>
    <message id="119">
        <source>Host:</source>
        <extracomment>Printer editor: auto-merge match label</extracomment>
        <translation>Host:</translation>
    </message>
    <message id="120">
        <source>Duplex</source>
        <extracomment>Printer editor: check box on the Model tab</extracomment>
        <translation>Duplex</translation>
    </message>
    <message id="121">
        <source>Color</source>
        <extracomment>Printer editor: check box on the Model tab</extracomment>
        <translation>Color</translation>
    </message>
    <message id="122">
        <source>Serial No.:</source>
        <extracomment>Printer editor: label on the Model tab</extracomment>
        <translation>Serial No.:</translation>
    </message>
    <message id="123">
        <source>Type:</source>
        <extracomment>Printer editor: device type label on the Model tab</extracomment>
        <translation>Type:</translation>
    </message>
    <message id="124">
        <source>Model:</source>
        <extracomment>Printer editor: label on the Model tab</extracomment>
        <translation>Model:</translation>
    </message>
    <message id="125">
        <source>Options:</source>
        <extracomment>Printer editor: label on the Model tab</extracomment>
        <translation>Options:</translation>
    </message>
    <message id="126">
        <source>Location:</source>
        <extracomment>Printer editor: label on the Model tab</extracomment>
        <translation>Location:</translation>
    </message>
    <message id="128">
        <source>MAC:</source>
        <extracomment>Printer editor: label of the MAC address boxes</extracomment>
        <translation>MAC:</translation>
    </message>
    <message id="137">
        <source>Port:</source>
        <extracomment>Printer editor: port label on the Connection tab</extracomment>
        <translation>Port:</translation>
    </message>
    <message id="138">
        <source>Type:</source>
        <extracomment>Printer editor: connection type label on the Connection tab</extracomment>
        <translation>Type:</translation>
    </message>
    <message id="139">
        <source>Host:</source>
        <extracomment>Printer editor: host label on the Connection tab</extracomment>
        <translation>Host:</translation>
    </message>
    <message id="140">
        <source>IP address:</source>
        <extracomment>Printer editor: IP address label on the Connection tab</extracomment>
        <translation>IP address:</translation>
    </message>
    <message id="141">
        <source>Device:</source>
        <extracomment>Printer editor: device label on the Connection tab</extracomment>
        <translation>Device:</translation>
    </message>
    <message id="142">
        <source>Close</source>
        <extracomment>Printer editor: close button</extracomment>
        <translation>Close</translation>
    </message>
    <message id="143">
        <source>&amp;Save</source>
        <extracomment>Printer editor: save button</extracomment>
        <translation>&amp;Save</translation>
    </message>
    <message id="144">
        <source>Account:</source>
        <extracomment>Printer editor: label of the account box</extracomment>
        <translation>Account:</translation>
    </message>
    <message id="145">
        <source>Profile:</source>
        <extracomment>Printer editor: label of the track profile list</extracomment>
        <translation>Profile:</translation>
    </message>
    <message id="146">
        <source>Name:</source>
        <extracomment>Printer editor: label of the name box</extracomment>
        <translation>Name:</translation>
    </message>
    <message id="147">
        <source>The printer has no name. Enter a name for the printer, and then save again.</source>
        <extracomment>Printer editor: refusal, empty name</extracomment>
        <translation>The printer has no name. Enter a name for the printer, and then save again.</translation>
    </message>
    <message id="148">
        <source>No track profile is selected. Choose a track profile for the printer, and then save again.</source>
        <extracomment>Printer editor: refusal, no track profile</extracomment>
        <translation>No track profile is selected. Choose a track profile for the printer, and then save again.</translation>
    </message>
    <message id="149">
        <source>No connection type is selected. On the Connection tab, choose how the printer is connected, and then save again.</source>
        <extracomment>Printer editor: refusal, no connection type</extracomment>
        <translation>No connection type is selected. On the Connection tab, choose how the printer is connected, and then save again.</translation>
    </message>
    <message id="150">
        <source>A local printer needs at least a device, a host or a port. Fill in at least one of them on the Connection tab, and then save again.</source>
        <extracomment>Printer editor: refusal, Local connection with device, host and port all empty</extracomment>
        <translation>A local printer needs at least a device, a host or a port. Fill in at least one of them on the Connection tab, and then save again.</translation>
    </message>
    <message id="151">
        <source>A network share printer needs its share path (for example \\server\printer). Enter the path in the Port box, and then save again.</source>
        <extracomment>Printer editor: refusal, Network share with an empty share path</extracomment>
        <translation>A network share printer needs its share path (for example \\server\printer). Enter the path in the Port box, and then save again.</translation>
    </message>
    <message id="152">
        <source>The MAC address is not valid. Enter six groups of two hexadecimal digits (0-9, A-F), and then save again.</source>
        <extracomment>Printer editor: refusal, MAC address not valid</extracomment>
        <translation>The MAC address is not valid. Enter six groups of two hexadecimal digits (0-9, A-F), and then save again.</translation>
    </message>
    <message id="153">
        <source>The host name is empty. Enter the printer's host name, or identify the printer by its MAC address, and then save again.</source>
        <extracomment>Printer editor: refusal, Direct IP by host name with an empty host</extracomment>
        <translation>The host name is empty. Enter the printer's host name, or identify the printer by its MAC address, and then save again.</translation>
    </message>
    <message id="154">
        <source>The IP address or port is not valid. Enter four numbers from 0 to 255 for the address, and leave the port empty or enter a port number from 1 to 65535, and then save again.</source>
        <extracomment>Printer editor: refusal, IP address not valid or port not a number from 1 to 65535</extracomment>
        <translation>The IP address or port is not valid. Enter four numbers from 0 to 255 for the address, and leave the port empty or enter a port number from 1 to 65535, and then save again.</translation>
    </message>
    <message id="155">
        <source>This printer has an auto-merge rule: printers discovered later that match it will be merged into this printer, and their jobs will appear to come from it. Do you want to continue?</source>
        <extracomment>Printer editor: question, the printer has an auto-merge rule</extracomment>
        <translation>This printer has an auto-merge rule: printers discovered later that match it will be merged into this printer, and their jobs will appear to come from it. Do you want to continue?</translation>
    </message>
    <message id="156">
        <source>&amp;Add</source>
        <extracomment>Printer editor: save button when adding a printer</extracomment>
        <translation>&amp;Add</translation>
    </message>
    <message id="157">
        <source>Add Printer</source>
        <extracomment>Printer editor: window caption when adding a printer</extracomment>
        <translation>Add Printer</translation>
    </message>
    <message id="158">
        <source>&amp;Save</source>
        <extracomment>Printer editor: save button when editing a printer</extracomment>
        <translation>&amp;Save</translation>
    </message>
    <message id="159">
        <source>Printer Properties - %s</source>
        <extracomment>Printer editor: window caption when editing; %s is the printer name</extracomment>
        <translation>Printer Properties - %s</translation>
    </message>
    <message id="160">
        <source>%s could not open the printer: %s

Refresh the printer list and try again.</source>
        <extracomment>Printer editor: the printer could not be loaded; first %s is the console title, second %s the error description</extracomment>
        <translation>%s could not open the printer: %s

Refresh the printer list and try again.</translation>
    </message>
    <message id="161">
        <source>Close</source>
        <extracomment>Printer editor: close button without unsaved changes</extracomment>
        <translation>Close</translation>
    </message>
    <message id="162">
        <source>Cancel</source>
        <extracomment>Printer editor: close button with unsaved changes (undoes them)</extracomment>
        <translation>Cancel</translation>
    </message>
    <message id="163">
        <source>Total counts</source>
        <extracomment>Printer editor: frame on the Advanced tab</extracomment>
        <translation>Total counts</translation>
    </message>
    <message id="164">
        <source>B/W total:</source>
        <extracomment>Printer editor: label on the Advanced tab</extracomment>
        <translation>B/W total:</translation>
    </message>
    <message id="165">
        <source>Color total:</source>
        <extracomment>Printer editor: label on the Advanced tab</extracomment>
        <translation>Color total:</translation>
    </message>
    <message id="166">
        <source>The B/W total is not a whole number from 0 to 2,147,483,647. On the Advanced tab, enter the number of pages in digits only, and then save again.</source>
        <extracomment>Printer editor: refusal, black-and-white total not a whole number from 0 to 2,147,483,647</extracomment>
        <translation>The B/W total is not a whole number from 0 to 2,147,483,647. On the Advanced tab, enter the number of pages in digits only, and then save again.</translation>
    </message>
    <message id="167">
        <source>The color total is not a whole number from 0 to 2,147,483,647. On the Advanced tab, enter the number of pages in digits only, and then save again.</source>
        <extracomment>Printer editor: refusal, colour total not a whole number from 0 to 2,147,483,647</extracomment>
        <translation>The color total is not a whole number from 0 to 2,147,483,647. On the Advanced tab, enter the number of pages in digits only, and then save again.</translation>
    </message>
    <message id="168">
        <source>You changed the page totals. The new totals will replace the printer's recorded totals. Do you want to continue?</source>
        <extracomment>Printer editor: question, the page totals were changed</extracomment>
        <translation>You changed the page totals. The new totals will replace the printer's recorded totals. Do you want to continue?</translation>
    </message>
    <message id="200">
        <source>Filtering</source>
        <extracomment>Printer page: filter frame</extracomment>
        <translation>Filtering</translation>
    </message>
    <message id="201">
        <source>Type:</source>
        <extracomment>Printer page: label of the connection type filter</extracomment>
        <translation>Type:</translation>
    </message>
    <message id="202">
        <source>Match to:</source>
        <extracomment>Printer page: label of the match text</extracomment>
        <translation>Match to:</translation>
    </message>
    <message id="203">
        <source>This list of printers populates automatically when your users print. Use this to change a printer's profile or delete old printers.</source>
        <extracomment>Printer page: minor heading</extracomment>
        <translation>This list of printers populates automatically when your users print. Use this to change a printer's profile or delete old printers.</translation>
    </message>
    <message id="204">
        <source>Printers</source>
        <extracomment>Printer page: major heading</extracomment>
        <translation>Printers</translation>
    </message>
    <message id="205">
        <source>%s adds printers to this list automatically the first time your users print to them. Add a printer by hand only when you want to set it up before anyone uses it.</source>
        <extracomment>Printer page: tip shown before adding a printer; %s is the console title</extracomment>
        <translation>%s adds printers to this list automatically the first time your users print to them. Add a printer by hand only when you want to set it up before anyone uses it.</translation>
    </message>
    <message id="206">
        <source>Updating Printers</source>
        <extracomment>Printer page: progress title of the batch update</extracomment>
        <translation>Updating Printers</translation>
    </message>
    <message id="207">
        <source>The printers could not all be updated: %s

Printers before the one that failed keep their new values. Correct the problem and update the remaining printers again.</source>
        <extracomment>Printer page: batch update failed; %s is the error description</extracomment>
        <translation>The printers could not all be updated: %s

Printers before the one that failed keep their new values. Correct the problem and update the remaining printers again.</translation>
    </message>
    <message id="208">
        <source>Do you want to delete the selected printers? Their print jobs are kept.</source>
        <extracomment>Printer page: question before deleting</extracomment>
        <translation>Do you want to delete the selected printers? Their print jobs are kept.</translation>
    </message>
    <message id="209">
        <source>%s printer(s) could not be deleted. Refresh the list to see which printers remain, and then try again.</source>
        <extracomment>Printer page: some deletes failed; %s is the number of printers</extracomment>
        <translation>%s printer(s) could not be deleted. Refresh the list to see which printers remain, and then try again.</translation>
    </message>
    <message id="210">
        <source>The first printer you selected is itself merged into another printer, so nothing can be merged into it. Select the printer to merge into first, then add the other printers to the selection.</source>
        <extracomment>Printer page: refusal, the merge target is a merged printer (alias row)</extracomment>
        <translation>The first printer you selected is itself merged into another printer, so nothing can be merged into it. Select the printer to merge into first, then add the other printers to the selection.</translation>
    </message>
    <message id="211">
        <source>Merging Printers</source>
        <extracomment>Printer page: progress title of the merge</extracomment>
        <translation>Merging Printers</translation>
    </message>
    <message id="212">
        <source>%s could not merge the printers: %s

Printers merged before the error stay merged. Refresh the list, correct the problem and merge the remaining printers again.</source>
        <extracomment>Printer page: merge failed; first %s is the console title, second %s the error description</extracomment>
        <translation>%s could not merge the printers: %s

Printers merged before the error stay merged. Refresh the list, correct the problem and merge the remaining printers again.</translation>
    </message>
    <message id="213">
        <source>Name</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Name</translation>
    </message>
    <message id="214">
        <source>Profile</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Profile</translation>
    </message>
    <message id="215">
        <source>Port</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Port</translation>
    </message>
    <message id="216">
        <source>Host</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Host</translation>
    </message>
    <message id="217">
        <source>Type</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Type</translation>
    </message>
    <message id="218">
        <source>Account</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Account</translation>
    </message>
    <message id="219">
        <source>(All types)</source>
        <extracomment>Printer page: first entry of the type filter (no filter)</extracomment>
        <translation>(All types)</translation>
    </message>
    <message id="220">
        <source>Printers</source>
        <extracomment>Printer page: caption in the console's navigation bar</extracomment>
        <translation>Printers</translation>
    </message>
    <message id="221">
        <source>The first printer you selected is already merged into another printer and cannot receive other printers. Select the printer to merge into first, then add the other printers to the selection.</source>
        <extracomment>Printer page: refusal, the merge target is a merged printer</extracomment>
        <translation>The first printer you selected is already merged into another printer and cannot receive other printers. Select the printer to merge into first, then add the other printers to the selection.</translation>
    </message>
    <message id="222">
        <source>You are about to merge the selected printers into %s.

</source>
        <extracomment>Printer page: start of the merge question, followed by a fixed text; %s is the target printer's name</extracomment>
        <translation>You are about to merge the selected printers into %s.

</translation>
    </message>
    <message id="223">
        <source>Printer...</source>
        <extracomment>Printer page: item of the console's Add menu</extracomment>
        <translation>Printer...</translation>
    </message>
    <message id="224">
        <source>Advanced</source>
        <extracomment>Printer page: console menu</extracomment>
        <translation>Advanced</translation>
    </message>
    <message id="225">
        <source>Merge Printers...</source>
        <extracomment>Printer page: item of the Advanced menu</extracomment>
        <translation>Merge Printers...</translation>
    </message>
    <message id="226">
        <source>If you continue, all printers and their jobs will appear to come from: </source>
        <extracomment>Printer page: merge question, the sentence before the target printer's name (keep the trailing space)</extracomment>
        <translation>If you continue, all printers and their jobs will appear to come from: </translation>
    </message>
    <message id="227">
        <source>Once merged you cannot separate merged jobs.</source>
        <extracomment>Printer page: merge question, its last sentence</extracomment>
        <translation>Once merged you cannot separate merged jobs.</translation>
    </message>
    <message id="228">
        <source>There is no data connection, so no printers can be listed. Check the database address, then click Refresh.</source>
        <extracomment>Printer page: shown over the list when the console has no database</extracomment>
        <translation>There is no data connection, so no printers can be listed. Check the database address, then click Refresh.</translation>
    </message>
    <message id="229">
        <source>Export List...</source>
        <extracomment>Printer page: second entry of the Advanced menu; writes the rows the list shows to a CSV file</extracomment>
        <translation>Export List...</translation>
    </message>
    <message id="230">
        <source>Export Printer List</source>
        <extracomment>Printer page: caption of the file dialog of Export List</extracomment>
        <translation>Export Printer List</translation>
    </message>
    <message id="231">
        <source>CSV files (*.csv)</source>
        <extracomment>Printer page: file type of the Export List file dialog; keep (*.csv)</extracomment>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message id="232">
        <source>Exporting Printers</source>
        <extracomment>Printer page: progress window title while the list is written</extracomment>
        <translation>Exporting Printers</translation>
    </message>
    <message id="233">
        <source>%s could not export the list: %s

Nothing was written; choose another file or folder and try again.</source>
        <extracomment>Printer page: export failed; first %s is the application title, second %s the reason</extracomment>
        <translation>%s could not export the list: %s

Nothing was written; choose another file or folder and try again.</translation>
    </message>
    <message id="234">
        <source>Key</source>
        <extracomment>Printer page: exported column with each printer&apos;s key</extracomment>
        <translation>Key</translation>
    </message>
    <message id="235">
        <source>Merged into</source>
        <extracomment>Printer page: exported column; for a merged printer, the key of the printer it is merged into</extracomment>
        <translation>Merged into</translation>
    </message>
    <message id="1400">
        <source>Progress</source>
        <extracomment>Progress window: caption at load (replaced by the operation's title)</extracomment>
        <translation>Progress</translation>
    </message>
    <message id="1401">
        <source>Cancel</source>
        <extracomment>Progress window: cancel button</extracomment>
        <translation>Cancel</translation>
    </message>
    <message id="1402">
        <source>%s of %s</source>
        <extracomment>Progress window: progress text; first %s is the current step, second %s the number of steps</extracomment>
        <translation>%s of %s</translation>
    </message>
    <message id="1403">
        <source>Working, please wait...</source>
        <extracomment>Progress window: progress text when the length of the work is unknown</extracomment>
        <translation>Working, please wait...</translation>
    </message>
    <message id="1500">
        <source>Date</source>
        <extracomment>Editor, Last Modified tab, history list: column of when the change was made</extracomment>
        <translation>Date</translation>
    </message>
    <message id="1501">
        <source>By</source>
        <extracomment>Editor, history list: column of who made the change</extracomment>
        <translation>By</translation>
    </message>
    <message id="1502">
        <source>Change</source>
        <extracomment>Editor, history list: column of what changed</extracomment>
        <translation>Change</translation>
    </message>
    <message id="1503">
        <source>Added: %s</source>
        <extracomment>Editor, history list: the printer was added; %s lists its values</extracomment>
        <translation>Added: %s</translation>
    </message>
    <message id="1504">
        <source>Saved: %s</source>
        <extracomment>Editor, history list: the printer was saved; %s lists the changed fields</extracomment>
        <translation>Saved: %s</translation>
    </message>
    <message id="1505">
        <source>Saved; no field changed</source>
        <extracomment>Editor, history list: a save that changed no field</extracomment>
        <translation>Saved; no field changed</translation>
    </message>
    <message id="1506">
        <source>New page totals: %s</source>
        <extracomment>Editor, history list: new page totals; %s lists them</extracomment>
        <translation>New page totals: %s</translation>
    </message>
    <message id="1507">
        <source>Merged into %s; the history of this printer ends here</source>
        <extracomment>Editor, history list: this printer became a merged printer of %s (another printer)</extracomment>
        <translation>Merged into %s; the history of this printer ends here</translation>
    </message>
    <message id="1508">
        <source>%s was merged into this printer with its jobs</source>
        <extracomment>Editor, history list: %s (another printer) became a merged printer of this one</extracomment>
        <translation>%s was merged into this printer with its jobs</translation>
    </message>
    <message id="1509">
        <source>Merged printer %s moved with its jobs to %s</source>
        <extracomment>Editor, history list: first %s is the merged printer&apos;s key, second %s the printer it moved to</extracomment>
        <translation>Merged printer %s moved with its jobs to %s</translation>
    </message>
    <message id="1510">
        <source>Merged printer %s moved here with its jobs from %s</source>
        <extracomment>Editor, history list: first %s is the merged printer&apos;s key, second %s the printer it came from</extracomment>
        <translation>Merged printer %s moved here with its jobs from %s</translation>
    </message>
    <message id="1511">
        <source>Merged printer %s removed; its jobs stay with this printer</source>
        <extracomment>Editor, history list: %s is the merged printer&apos;s key</extracomment>
        <translation>Merged printer %s removed; its jobs stay with this printer</translation>
    </message>
    <message id="1512">
        <source>Deleted; its jobs stay recorded</source>
        <extracomment>Editor, history list: the printer was deleted</extracomment>
        <translation>Deleted; its jobs stay recorded</translation>
    </message>
    <message id="1513">
        <source>%s: “%s” → “%s”</source>
        <extracomment>Editor, history list: one changed field; first %s the field, second the old value, third the new value</extracomment>
        <translation>%s: “%s” → “%s”</translation>
    </message>
    <message id="1514">
        <source>%s: “%s”</source>
        <extracomment>Editor, history list: one value of an added printer; first %s the field, second its value</extracomment>
        <translation>%s: “%s”</translation>
    </message>
    <message id="1515">
        <source>“%s” (key %s)</source>
        <extracomment>Editor, history list: another printer; first %s its name, second its key</extracomment>
        <translation>“%s” (key %s)</translation>
    </message>
    <message id="1516">
        <source>A change of an unknown kind (%s)</source>
        <extracomment>Editor, history list: an entry a newer version wrote; %s is its kind number</extracomment>
        <translation>A change of an unknown kind (%s)</translation>
    </message>
    <message id="1517">
        <source>Yes</source>
        <extracomment>Editor, history list: value of a ticked option</extracomment>
        <translation>Yes</translation>
    </message>
    <message id="1518">
        <source>No</source>
        <extracomment>Editor, history list: value of an option that is not ticked</extracomment>
        <translation>No</translation>
    </message>
    <message id="1519">
        <source>Changes, newest first:</source>
        <extracomment>Editor, Last Modified tab: caption above the history list</extracomment>
        <translation>Changes, newest first:</translation>
    </message>
    <message id="1520">
        <source>The history could not be read: %s</source>
        <extracomment>Editor, history list: shown in the list when reading it failed; %s is the reason</extracomment>
        <translation>The history could not be read: %s</translation>
    </message>
    <message id="1530">
        <source>Name</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Name</translation>
    </message>
    <message id="1531">
        <source>Track profile</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Track profile</translation>
    </message>
    <message id="1532">
        <source>Account</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Account</translation>
    </message>
    <message id="1533">
        <source>Connection type</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Connection type</translation>
    </message>
    <message id="1534">
        <source>Host</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Host</translation>
    </message>
    <message id="1535">
        <source>Port</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Port</translation>
    </message>
    <message id="1536">
        <source>Device</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Device</translation>
    </message>
    <message id="1537">
        <source>Device type</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Device type</translation>
    </message>
    <message id="1538">
        <source>Model</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Model</translation>
    </message>
    <message id="1539">
        <source>Serial No.</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Serial No.</translation>
    </message>
    <message id="1540">
        <source>Location</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Location</translation>
    </message>
    <message id="1541">
        <source>Color</source>
        <extracomment>Editor, history list: field name (colour printer)</extracomment>
        <translation>Color</translation>
    </message>
    <message id="1542">
        <source>Duplex</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Duplex</translation>
    </message>
    <message id="1543">
        <source>Do not attempt late popup</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Do not attempt late popup</translation>
    </message>
    <message id="1544">
        <source>Disable enhanced color mode detection</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Disable enhanced color mode detection</translation>
    </message>
    <message id="1545">
        <source>B/W total</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>B/W total</translation>
    </message>
    <message id="1546">
        <source>Color total</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Color total</translation>
    </message>
    <message id="1547">
        <source>Auto merging</source>
        <extracomment>Editor, history list: field name (the printer has an auto-merge rule)</extracomment>
        <translation>Auto merging</translation>
    </message>
    <message id="1548">
        <source>Auto merging applies to</source>
        <extracomment>Editor, history list: field name (connection types of the auto-merge rule)</extracomment>
        <translation>Auto merging applies to</translation>
    </message>
    <message id="1549">
        <source>Auto merging device</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Auto merging device</translation>
    </message>
    <message id="1550">
        <source>Auto merging host</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Auto merging host</translation>
    </message>
    <message id="1551">
        <source>Auto merging port</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Auto merging port</translation>
    </message>
    <message id="1552">
        <source>Auto merging model</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Auto merging model</translation>
    </message>
</context>
</TS>
