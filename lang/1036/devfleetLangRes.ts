<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="en_US">
<context>
    <name></name>
    <message id="1">
        <source>Update Multiple Printers</source>
        <extracomment>Batch update form: window caption</extracomment>
        <translation>Mettre à jour plusieurs imprimantes</translation>
    </message>
    <message id="2">
        <source>Close</source>
        <extracomment>Batch update form: close button</extracomment>
        <translation>Fermer</translation>
    </message>
    <message id="3">
        <source>&amp;Update</source>
        <extracomment>Batch update form: update button</extracomment>
        <translation>&amp;Mettre à jour</translation>
    </message>
    <message id="4">
        <source>Model:</source>
        <extracomment>Batch update form: label of the model box</extracomment>
        <translation>Modèle :</translation>
    </message>
    <message id="5">
        <source>Track profile:</source>
        <extracomment>Batch update form: label of the track profile list</extracomment>
        <translation>Profil de suivi :</translation>
    </message>
    <message id="6">
        <source>Account:</source>
        <extracomment>Batch update form: label of the account box</extracomment>
        <translation>Compte :</translation>
    </message>
    <message id="7">
        <source>(Keep each printer's profile)</source>
        <extracomment>Batch update form: first entry of the profile list (keeps each printer's profile)</extracomment>
        <translation>(Conserver le profil de chaque imprimante)</translation>
    </message>
    <message id="8">
        <source>The values you entered will replace the track profile, account and model of every selected printer (empty values leave the printer's own value unchanged). Do you want to update the selected printers?</source>
        <extracomment>Batch update form: confirmation question</extracomment>
        <translation>Les valeurs saisies vont remplacer le profil de suivi, le compte et le modèle de chaque imprimante sélectionnée (une valeur vide conserve celle de l'imprimante). Voulez-vous mettre à jour les imprimantes sélectionnées ?</translation>
    </message>
    <message id="9">
        <source>There is nothing to update. Choose a track profile, or enter an account or a model, and then click Update.</source>
        <extracomment>Batch update form: refusal, nothing to change</extracomment>
        <translation>Il n'y a rien à mettre à jour. Choisissez un profil de suivi, ou saisissez un compte ou un modèle, puis cliquez sur Mettre à jour.</translation>
    </message>
    <message id="100">
        <source>Printer</source>
        <extracomment>Printer editor: window caption at load</extracomment>
        <translation>Imprimante</translation>
    </message>
    <message id="101">
        <source>Connection</source>
        <extracomment>Printer editor: tab 1</extracomment>
        <translation>Connexion</translation>
    </message>
    <message id="102">
        <source>Model</source>
        <extracomment>Printer editor: tab 2</extracomment>
        <translation>Modèle</translation>
    </message>
    <message id="103">
        <source>Auto Merging</source>
        <extracomment>Printer editor: tab 3</extracomment>
        <translation>Fusion automatique</translation>
    </message>
    <message id="104">
        <source>Advanced</source>
        <extracomment>Printer editor: tab 4</extracomment>
        <translation>Avancé</translation>
    </message>
    <message id="105">
        <source>Last Modified</source>
        <extracomment>Printer editor: tab 5</extracomment>
        <translation>Dernière modification</translation>
    </message>
    <message id="106">
        <source>Disable enhanced color mode detection</source>
        <extracomment>Printer editor: check box on the Advanced tab</extracomment>
        <translation>Désactiver la détection avancée du mode couleur</translation>
    </message>
    <message id="107">
        <source>Do not attempt late popup</source>
        <extracomment>Printer editor: check box on the Advanced tab</extracomment>
        <translation>Ne pas tenter d'affichage tardif de la fenêtre</translation>
    </message>
    <message id="108">
        <source>Color mode:</source>
        <extracomment>Printer editor: label on the Advanced tab</extracomment>
        <translation>Mode couleur :</translation>
    </message>
    <message id="109">
        <source>Popup behavior:</source>
        <extracomment>Printer editor: label on the Advanced tab</extracomment>
        <translation>Affichage de la fenêtre :</translation>
    </message>
    <message id="110">
        <source>Modified by:</source>
        <extracomment>Printer editor: label on the Last Modified tab</extracomment>
        <translation>Modifiée par :</translation>
    </message>
    <message id="111">
        <source>Modified on:</source>
        <extracomment>Printer editor: label on the Last Modified tab</extracomment>
        <translation>Modifiée le :</translation>
    </message>
    <message id="112">
        <source>Direct IP</source>
        <extracomment>Printer editor: auto-merge check box (connection type)</extracomment>
        <translation>IP directe</translation>
    </message>
    <message id="113">
        <source>Network share</source>
        <extracomment>Printer editor: auto-merge check box (connection type)</extracomment>
        <translation>Partage réseau</translation>
    </message>
    <message id="114">
        <source>Local</source>
        <extracomment>Printer editor: auto-merge check box (connection type)</extracomment>
        <translation>Locale</translation>
    </message>
    <message id="115">
        <source>Port:</source>
        <extracomment>Printer editor: auto-merge match label</extracomment>
        <translation>Port :</translation>
    </message>
    <message id="116">
        <source>Model:</source>
        <extracomment>Printer editor: auto-merge match label</extracomment>
        <translation>Modèle :</translation>
    </message>
    <message id="117">
        <source>Applies to:</source>
        <extracomment>Printer editor: auto-merge label above the connection types</extracomment>
        <translation>S'applique à :</translation>
    </message>
    <message id="118">
        <source>Device:</source>
        <extracomment>Printer editor: auto-merge match label</extracomment>
        <translation>Périphérique :</translation>
    </message>
    <message id="119">
        <source>Host:</source>
        <extracomment>Printer editor: auto-merge match label</extracomment>
        <translation>Hôte :</translation>
    </message>
    <message id="120">
        <source>Duplex</source>
        <extracomment>Printer editor: check box on the Model tab</extracomment>
        <translation>Recto verso</translation>
    </message>
    <message id="121">
        <source>Color</source>
        <extracomment>Printer editor: check box on the Model tab</extracomment>
        <translation>Couleur</translation>
    </message>
    <message id="122">
        <source>Serial No.:</source>
        <extracomment>Printer editor: label on the Model tab</extracomment>
        <translation>N° de série :</translation>
    </message>
    <message id="123">
        <source>Type:</source>
        <extracomment>Printer editor: device type label on the Model tab</extracomment>
        <translation>Type :</translation>
    </message>
    <message id="124">
        <source>Model:</source>
        <extracomment>Printer editor: label on the Model tab</extracomment>
        <translation>Modèle :</translation>
    </message>
    <message id="125">
        <source>Options:</source>
        <extracomment>Printer editor: label on the Model tab</extracomment>
        <translation>Options :</translation>
    </message>
    <message id="126">
        <source>Location:</source>
        <extracomment>Printer editor: label on the Model tab</extracomment>
        <translation>Emplacement :</translation>
    </message>
    <message id="128">
        <source>MAC:</source>
        <extracomment>Printer editor: label of the MAC address boxes</extracomment>
        <translation>MAC :</translation>
    </message>
    <message id="137">
        <source>Port:</source>
        <extracomment>Printer editor: port label on the Connection tab</extracomment>
        <translation>Port :</translation>
    </message>
    <message id="138">
        <source>Type:</source>
        <extracomment>Printer editor: connection type label on the Connection tab</extracomment>
        <translation>Type :</translation>
    </message>
    <message id="139">
        <source>Host:</source>
        <extracomment>Printer editor: host label on the Connection tab</extracomment>
        <translation>Hôte :</translation>
    </message>
    <message id="140">
        <source>IP address:</source>
        <extracomment>Printer editor: IP address label on the Connection tab</extracomment>
        <translation>Adresse IP :</translation>
    </message>
    <message id="141">
        <source>Device:</source>
        <extracomment>Printer editor: device label on the Connection tab</extracomment>
        <translation>Périphérique :</translation>
    </message>
    <message id="142">
        <source>Close</source>
        <extracomment>Printer editor: close button</extracomment>
        <translation>Fermer</translation>
    </message>
    <message id="143">
        <source>&amp;Save</source>
        <extracomment>Printer editor: save button</extracomment>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message id="144">
        <source>Account:</source>
        <extracomment>Printer editor: label of the account box</extracomment>
        <translation>Compte :</translation>
    </message>
    <message id="145">
        <source>Profile:</source>
        <extracomment>Printer editor: label of the track profile list</extracomment>
        <translation>Profil :</translation>
    </message>
    <message id="146">
        <source>Name:</source>
        <extracomment>Printer editor: label of the name box</extracomment>
        <translation>Nom :</translation>
    </message>
    <message id="147">
        <source>The printer has no name. Enter a name for the printer, and then save again.</source>
        <extracomment>Printer editor: refusal, empty name</extracomment>
        <translation>L'imprimante n'a pas de nom. Saisissez un nom pour l'imprimante, puis enregistrez à nouveau.</translation>
    </message>
    <message id="148">
        <source>No track profile is selected. Choose a track profile for the printer, and then save again.</source>
        <extracomment>Printer editor: refusal, no track profile</extracomment>
        <translation>Aucun profil de suivi n'est sélectionné. Choisissez un profil de suivi pour l'imprimante, puis enregistrez à nouveau.</translation>
    </message>
    <message id="149">
        <source>No connection type is selected. On the Connection tab, choose how the printer is connected, and then save again.</source>
        <extracomment>Printer editor: refusal, no connection type</extracomment>
        <translation>Aucun type de connexion n'est sélectionné. Dans l'onglet Connexion, choisissez le mode de connexion de l'imprimante, puis enregistrez à nouveau.</translation>
    </message>
    <message id="150">
        <source>A local printer needs at least a device, a host or a port. Fill in at least one of them on the Connection tab, and then save again.</source>
        <extracomment>Printer editor: refusal, Local connection with device, host and port all empty</extracomment>
        <translation>Une imprimante locale doit avoir au moins un périphérique, un hôte ou un port. Renseignez au moins l'un des trois dans l'onglet Connexion, puis enregistrez à nouveau.</translation>
    </message>
    <message id="151">
        <source>A network share printer needs its share path (for example \\server\printer). Enter the path in the Port box, and then save again.</source>
        <extracomment>Printer editor: refusal, Network share with an empty share path</extracomment>
        <translation>Une imprimante en partage réseau doit avoir un chemin de partage (par exemple \\serveur\imprimante). Saisissez le chemin dans la zone Port, puis enregistrez à nouveau.</translation>
    </message>
    <message id="152">
        <source>The MAC address is not valid. Enter six groups of two hexadecimal digits (0-9, A-F), and then save again.</source>
        <extracomment>Printer editor: refusal, MAC address not valid</extracomment>
        <translation>L'adresse MAC n'est pas valide. Saisissez six groupes de deux chiffres hexadécimaux (0-9, A-F), puis enregistrez à nouveau.</translation>
    </message>
    <message id="153">
        <source>The host name is empty. Enter the printer's host name, or identify the printer by its MAC address, and then save again.</source>
        <extracomment>Printer editor: refusal, Direct IP by host name with an empty host</extracomment>
        <translation>Le nom d'hôte est vide. Saisissez le nom d'hôte de l'imprimante, ou identifiez-la par son adresse MAC, puis enregistrez à nouveau.</translation>
    </message>
    <message id="154">
        <source>The IP address or port is not valid. Enter four numbers from 0 to 255 for the address, and leave the port empty or enter a port number from 1 to 65535, and then save again.</source>
        <extracomment>Printer editor: refusal, IP address not valid or port not a number from 1 to 65535</extracomment>
        <translation>L'adresse IP ou le port n'est pas valide. Saisissez quatre nombres de 0 à 255 pour l'adresse, et laissez le port vide ou saisissez un numéro de port de 1 à 65535, puis enregistrez à nouveau.</translation>
    </message>
    <message id="155">
        <source>This printer has an auto-merge rule: printers discovered later that match it will be merged into this printer, and their jobs will appear to come from it. Do you want to continue?</source>
        <extracomment>Printer editor: question, the printer has an auto-merge rule</extracomment>
        <translation>Cette imprimante a une règle de fusion automatique : les imprimantes découvertes par la suite qui y correspondent seront fusionnées avec celle-ci, et leurs travaux sembleront provenir d'elle. Voulez-vous continuer ?</translation>
    </message>
    <message id="156">
        <source>&amp;Add</source>
        <extracomment>Printer editor: save button when adding a printer</extracomment>
        <translation>&amp;Ajouter</translation>
    </message>
    <message id="157">
        <source>Add Printer</source>
        <extracomment>Printer editor: window caption when adding a printer</extracomment>
        <translation>Ajouter une imprimante</translation>
    </message>
    <message id="158">
        <source>&amp;Save</source>
        <extracomment>Printer editor: save button when editing a printer</extracomment>
        <translation>&amp;Enregistrer</translation>
    </message>
    <message id="159">
        <source>Printer Properties - %s</source>
        <extracomment>Printer editor: window caption when editing; %s is the printer name</extracomment>
        <translation>Propriétés de l'imprimante - %s</translation>
    </message>
    <message id="160">
        <source>%s could not open the printer: %s

Refresh the printer list and try again.</source>
        <extracomment>Printer editor: the printer could not be loaded; first %s is the console title, second %s the error description</extracomment>
        <translation>%s n'a pas pu ouvrir l'imprimante : %s

Actualisez la liste des imprimantes, puis réessayez.</translation>
    </message>
    <message id="161">
        <source>Close</source>
        <extracomment>Printer editor: close button without unsaved changes</extracomment>
        <translation>Fermer</translation>
    </message>
    <message id="162">
        <source>Cancel</source>
        <extracomment>Printer editor: close button with unsaved changes (undoes them)</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="163">
        <source>Total counts</source>
        <extracomment>Printer editor: frame on the Advanced tab</extracomment>
        <translation>Totaux</translation>
    </message>
    <message id="164">
        <source>B/W total:</source>
        <extracomment>Printer editor: label on the Advanced tab</extracomment>
        <translation>Total noir et blanc :</translation>
    </message>
    <message id="165">
        <source>Color total:</source>
        <extracomment>Printer editor: label on the Advanced tab</extracomment>
        <translation>Total couleur :</translation>
    </message>
    <message id="166">
        <source>The B/W total is not a whole number from 0 to 2,147,483,647. On the Advanced tab, enter the number of pages in digits only, and then save again.</source>
        <extracomment>Printer editor: refusal, black-and-white total not a whole number from 0 to 2,147,483,647</extracomment>
        <translation>Le total noir et blanc n'est pas un nombre entier de 0 à 2 147 483 647. Dans l'onglet Avancé, saisissez le nombre de pages en chiffres uniquement, puis enregistrez à nouveau.</translation>
    </message>
    <message id="167">
        <source>The color total is not a whole number from 0 to 2,147,483,647. On the Advanced tab, enter the number of pages in digits only, and then save again.</source>
        <extracomment>Printer editor: refusal, colour total not a whole number from 0 to 2,147,483,647</extracomment>
        <translation>Le total couleur n'est pas un nombre entier de 0 à 2 147 483 647. Dans l'onglet Avancé, saisissez le nombre de pages en chiffres uniquement, puis enregistrez à nouveau.</translation>
    </message>
    <message id="168">
        <source>You changed the page totals. The new totals will replace the printer's recorded totals. Do you want to continue?</source>
        <extracomment>Printer editor: question, the page totals were changed</extracomment>
        <translation>Vous avez modifié les totaux de pages. Les nouveaux totaux vont remplacer les totaux enregistrés de l'imprimante. Voulez-vous continuer ?</translation>
    </message>
    <message id="200">
        <source>Filtering</source>
        <extracomment>Printer page: filter frame</extracomment>
        <translation>Filtrage</translation>
    </message>
    <message id="201">
        <source>Type:</source>
        <extracomment>Printer page: label of the connection type filter</extracomment>
        <translation>Type :</translation>
    </message>
    <message id="202">
        <source>Match to:</source>
        <extracomment>Printer page: label of the match text</extracomment>
        <translation>Correspond à :</translation>
    </message>
    <message id="203">
        <source>This list of printers populates automatically when your users print. Use this to change a printer's profile or delete old printers.</source>
        <extracomment>Printer page: minor heading</extracomment>
        <translation>Cette liste d'imprimantes se remplit automatiquement lorsque vos utilisateurs impriment. Utilisez-la pour changer le profil d'une imprimante ou supprimer d'anciennes imprimantes.</translation>
    </message>
    <message id="204">
        <source>Printers</source>
        <extracomment>Printer page: major heading</extracomment>
        <translation>Imprimantes</translation>
    </message>
    <message id="205">
        <source>%s adds printers to this list automatically the first time your users print to them. Add a printer by hand only when you want to set it up before anyone uses it.</source>
        <extracomment>Printer page: tip shown before adding a printer; %s is the console title</extracomment>
        <translation>%s ajoute automatiquement les imprimantes à cette liste la première fois que vos utilisateurs y impriment. N'ajoutez une imprimante à la main que si vous voulez la configurer avant toute utilisation.</translation>
    </message>
    <message id="206">
        <source>Updating Printers</source>
        <extracomment>Printer page: progress title of the batch update</extracomment>
        <translation>Mise à jour des imprimantes</translation>
    </message>
    <message id="207">
        <source>The printers could not all be updated: %s

Printers before the one that failed keep their new values. Correct the problem and update the remaining printers again.</source>
        <extracomment>Printer page: batch update failed; %s is the error description</extracomment>
        <translation>Les imprimantes n'ont pas toutes pu être mises à jour : %s

Les imprimantes traitées avant l'échec conservent leurs nouvelles valeurs. Corrigez le problème, puis mettez à jour à nouveau les imprimantes restantes.</translation>
    </message>
    <message id="208">
        <source>Do you want to delete the selected printers? Their print jobs are kept.</source>
        <extracomment>Printer page: question before deleting</extracomment>
        <translation>Voulez-vous supprimer les imprimantes sélectionnées ? Leurs travaux d'impression sont conservés.</translation>
    </message>
    <message id="209">
        <source>%s printer(s) could not be deleted. Refresh the list to see which printers remain, and then try again.</source>
        <extracomment>Printer page: some deletes failed; %s is the number of printers</extracomment>
        <translation>%s imprimante(s) n'ont pas pu être supprimées. Actualisez la liste pour voir les imprimantes restantes, puis réessayez.</translation>
    </message>
    <message id="210">
        <source>The first printer you selected is itself merged into another printer, so nothing can be merged into it. Select the printer to merge into first, then add the other printers to the selection.</source>
        <extracomment>Printer page: refusal, the merge target is a merged printer (alias row)</extracomment>
        <translation>La première imprimante sélectionnée est elle-même fusionnée avec une autre imprimante : rien ne peut être fusionné avec elle. Sélectionnez d'abord l'imprimante cible, puis ajoutez les autres imprimantes à la sélection.</translation>
    </message>
    <message id="211">
        <source>Merging Printers</source>
        <extracomment>Printer page: progress title of the merge</extracomment>
        <translation>Fusion des imprimantes</translation>
    </message>
    <message id="212">
        <source>%s could not merge the printers: %s

Printers merged before the error stay merged. Refresh the list, correct the problem and merge the remaining printers again.</source>
        <extracomment>Printer page: merge failed; first %s is the console title, second %s the error description</extracomment>
        <translation>%s n'a pas pu fusionner les imprimantes : %s

Les imprimantes fusionnées avant l'erreur le restent. Actualisez la liste, corrigez le problème, puis fusionnez à nouveau les imprimantes restantes.</translation>
    </message>
    <message id="213">
        <source>Name</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Nom</translation>
    </message>
    <message id="214">
        <source>Profile</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Profil</translation>
    </message>
    <message id="215">
        <source>Port</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Port</translation>
    </message>
    <message id="216">
        <source>Host</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Hôte</translation>
    </message>
    <message id="217">
        <source>Type</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Type</translation>
    </message>
    <message id="218">
        <source>Account</source>
        <extracomment>Printer page: column header</extracomment>
        <translation>Compte</translation>
    </message>
    <message id="219">
        <source>(All types)</source>
        <extracomment>Printer page: first entry of the type filter (no filter)</extracomment>
        <translation>(Tous les types)</translation>
    </message>
    <message id="220">
        <source>Printers</source>
        <extracomment>Printer page: caption in the console's navigation bar</extracomment>
        <translation>Imprimantes</translation>
    </message>
    <message id="221">
        <source>The first printer you selected is already merged into another printer and cannot receive other printers. Select the printer to merge into first, then add the other printers to the selection.</source>
        <extracomment>Printer page: refusal, the merge target is a merged printer</extracomment>
        <translation>La première imprimante sélectionnée est déjà fusionnée avec une autre imprimante et ne peut pas en recevoir d'autres. Sélectionnez d'abord l'imprimante cible, puis ajoutez les autres imprimantes à la sélection.</translation>
    </message>
    <message id="222">
        <source>You are about to merge the selected printers into %s.

</source>
        <extracomment>Printer page: start of the merge question, followed by a fixed text; %s is the target printer's name</extracomment>
        <translation>Vous allez fusionner les imprimantes sélectionnées avec %s.

</translation>
    </message>
    <message id="223">
        <source>Printer...</source>
        <extracomment>Printer page: item of the console's Add menu</extracomment>
        <translation>Imprimante...</translation>
    </message>
    <message id="224">
        <source>Advanced</source>
        <extracomment>Printer page: console menu</extracomment>
        <translation>Avancé</translation>
    </message>
    <message id="225">
        <source>Merge Printers...</source>
        <extracomment>Printer page: item of the Advanced menu</extracomment>
        <translation>Fusionner des imprimantes...</translation>
    </message>
    <message id="226">
        <source>If you continue, all printers and their jobs will appear to come from: </source>
        <extracomment>Printer page: merge question, the sentence before the target printer's name (keep the trailing space)</extracomment>
        <translation>Si vous continuez, toutes les imprimantes et leurs travaux sembleront provenir de : </translation>
    </message>
    <message id="227">
        <source>Once merged you cannot separate merged jobs.</source>
        <extracomment>Printer page: merge question, its last sentence</extracomment>
        <translation>Une fois fusionnés, les travaux ne peuvent plus être séparés.</translation>
    </message>
    <message id="228">
        <source>There is no data connection, so no printers can be listed. Check the database address, then click Refresh.</source>
        <extracomment>Printer page: shown over the list when the console has no database</extracomment>
        <translation>Aucune connexion aux données : aucune imprimante ne peut être affichée. Vérifiez l’adresse de la base de données, puis cliquez sur Actualiser.</translation>
    </message>
    <message id="229">
        <source>Export List...</source>
        <extracomment>Printer page: second entry of the Advanced menu; writes the rows the list shows to a CSV file</extracomment>
        <translation>Exporter la liste...</translation>
    </message>
    <message id="230">
        <source>Export Printer List</source>
        <extracomment>Printer page: caption of the file dialog of Export List</extracomment>
        <translation>Exporter la liste des imprimantes</translation>
    </message>
    <message id="231">
        <source>CSV files (*.csv)</source>
        <extracomment>Printer page: file type of the Export List file dialog; keep (*.csv)</extracomment>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message id="232">
        <source>Exporting Printers</source>
        <extracomment>Printer page: progress window title while the list is written</extracomment>
        <translation>Exportation des imprimantes</translation>
    </message>
    <message id="233">
        <source>%s could not export the list: %s

Nothing was written; choose another file or folder and try again.</source>
        <extracomment>Printer page: export failed; first %s is the application title, second %s the reason</extracomment>
        <translation>%s n&apos;a pas pu exporter la liste : %s

Rien n&apos;a été écrit ; choisissez un autre fichier ou dossier et réessayez.</translation>
    </message>
    <message id="234">
        <source>Key</source>
        <extracomment>Printer page: exported column with each printer&apos;s key</extracomment>
        <translation>Clé</translation>
    </message>
    <message id="235">
        <source>Merged into</source>
        <extracomment>Printer page: exported column; for a merged printer, the key of the printer it is merged into</extracomment>
        <translation>Fusionnée avec</translation>
    </message>
    <message id="1400">
        <source>Progress</source>
        <extracomment>Progress window: caption at load (replaced by the operation's title)</extracomment>
        <translation>Progression</translation>
    </message>
    <message id="1401">
        <source>Cancel</source>
        <extracomment>Progress window: cancel button</extracomment>
        <translation>Annuler</translation>
    </message>
    <message id="1402">
        <source>%s of %s</source>
        <extracomment>Progress window: progress text; first %s is the current step, second %s the number of steps</extracomment>
        <translation>%s sur %s</translation>
    </message>
    <message id="1403">
        <source>Working, please wait...</source>
        <extracomment>Progress window: progress text when the length of the work is unknown</extracomment>
        <translation>Traitement en cours, veuillez patienter...</translation>
    </message>
    <message id="1500">
        <source>Date</source>
        <extracomment>Editor, Last Modified tab, history list: column of when the change was made</extracomment>
        <translation>Date</translation>
    </message>
    <message id="1501">
        <source>By</source>
        <extracomment>Editor, history list: column of who made the change</extracomment>
        <translation>Par</translation>
    </message>
    <message id="1502">
        <source>Change</source>
        <extracomment>Editor, history list: column of what changed</extracomment>
        <translation>Modification</translation>
    </message>
    <message id="1503">
        <source>Added: %s</source>
        <extracomment>Editor, history list: the printer was added; %s lists its values</extracomment>
        <translation>Ajoutée : %s</translation>
    </message>
    <message id="1504">
        <source>Saved: %s</source>
        <extracomment>Editor, history list: the printer was saved; %s lists the changed fields</extracomment>
        <translation>Enregistrée : %s</translation>
    </message>
    <message id="1505">
        <source>Saved; no field changed</source>
        <extracomment>Editor, history list: a save that changed no field</extracomment>
        <translation>Enregistrée ; aucun champ modifié</translation>
    </message>
    <message id="1506">
        <source>New page totals: %s</source>
        <extracomment>Editor, history list: new page totals; %s lists them</extracomment>
        <translation>Nouveaux totaux de pages : %s</translation>
    </message>
    <message id="1507">
        <source>Merged into %s; the history of this printer ends here</source>
        <extracomment>Editor, history list: this printer became a merged printer of %s (another printer)</extracomment>
        <translation>Fusionnée avec %s ; l&apos;historique de cette imprimante s&apos;arrête ici</translation>
    </message>
    <message id="1508">
        <source>%s was merged into this printer with its jobs</source>
        <extracomment>Editor, history list: %s (another printer) became a merged printer of this one</extracomment>
        <translation>%s a été fusionnée avec cette imprimante, avec ses travaux</translation>
    </message>
    <message id="1509">
        <source>Merged printer %s moved with its jobs to %s</source>
        <extracomment>Editor, history list: first %s is the merged printer&apos;s key, second %s the printer it moved to</extracomment>
        <translation>Imprimante fusionnée %s déplacée avec ses travaux vers %s</translation>
    </message>
    <message id="1510">
        <source>Merged printer %s moved here with its jobs from %s</source>
        <extracomment>Editor, history list: first %s is the merged printer&apos;s key, second %s the printer it came from</extracomment>
        <translation>Imprimante fusionnée %s déplacée ici avec ses travaux depuis %s</translation>
    </message>
    <message id="1511">
        <source>Merged printer %s removed; its jobs stay with this printer</source>
        <extracomment>Editor, history list: %s is the merged printer&apos;s key</extracomment>
        <translation>Imprimante fusionnée %s retirée ; ses travaux restent avec cette imprimante</translation>
    </message>
    <message id="1512">
        <source>Deleted; its jobs stay recorded</source>
        <extracomment>Editor, history list: the printer was deleted</extracomment>
        <translation>Supprimée ; ses travaux restent enregistrés</translation>
    </message>
    <message id="1513">
        <source>%s: “%s” → “%s”</source>
        <extracomment>Editor, history list: one changed field; first %s the field, second the old value, third the new value</extracomment>
        <translation>%s : « %s » → « %s »</translation>
    </message>
    <message id="1514">
        <source>%s: “%s”</source>
        <extracomment>Editor, history list: one value of an added printer; first %s the field, second its value</extracomment>
        <translation>%s : « %s »</translation>
    </message>
    <message id="1515">
        <source>“%s” (key %s)</source>
        <extracomment>Editor, history list: another printer; first %s its name, second its key</extracomment>
        <translation>« %s » (clé %s)</translation>
    </message>
    <message id="1516">
        <source>A change of an unknown kind (%s)</source>
        <extracomment>Editor, history list: an entry a newer version wrote; %s is its kind number</extracomment>
        <translation>Une modification d&apos;un type inconnu (%s)</translation>
    </message>
    <message id="1517">
        <source>Yes</source>
        <extracomment>Editor, history list: value of a ticked option</extracomment>
        <translation>Oui</translation>
    </message>
    <message id="1518">
        <source>No</source>
        <extracomment>Editor, history list: value of an option that is not ticked</extracomment>
        <translation>Non</translation>
    </message>
    <message id="1519">
        <source>Changes, newest first:</source>
        <extracomment>Editor, Last Modified tab: caption above the history list</extracomment>
        <translation>Modifications, de la plus récente à la plus ancienne :</translation>
    </message>
    <message id="1520">
        <source>The history could not be read: %s</source>
        <extracomment>Editor, history list: shown in the list when reading it failed; %s is the reason</extracomment>
        <translation>L&apos;historique n&apos;a pas pu être lu : %s</translation>
    </message>
    <message id="1530">
        <source>Name</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Nom</translation>
    </message>
    <message id="1531">
        <source>Track profile</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Profil de suivi</translation>
    </message>
    <message id="1532">
        <source>Account</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Compte</translation>
    </message>
    <message id="1533">
        <source>Connection type</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Type de connexion</translation>
    </message>
    <message id="1534">
        <source>Host</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Hôte</translation>
    </message>
    <message id="1535">
        <source>Port</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Port</translation>
    </message>
    <message id="1536">
        <source>Device</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Périphérique</translation>
    </message>
    <message id="1537">
        <source>Device type</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Type de périphérique</translation>
    </message>
    <message id="1538">
        <source>Model</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Modèle</translation>
    </message>
    <message id="1539">
        <source>Serial No.</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>N° de série</translation>
    </message>
    <message id="1540">
        <source>Location</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Emplacement</translation>
    </message>
    <message id="1541">
        <source>Color</source>
        <extracomment>Editor, history list: field name (colour printer)</extracomment>
        <translation>Couleur</translation>
    </message>
    <message id="1542">
        <source>Duplex</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Recto verso</translation>
    </message>
    <message id="1543">
        <source>Do not attempt late popup</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Ne pas tenter d&apos;affichage tardif de la fenêtre</translation>
    </message>
    <message id="1544">
        <source>Disable enhanced color mode detection</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Désactiver la détection avancée du mode couleur</translation>
    </message>
    <message id="1545">
        <source>B/W total</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Total noir et blanc</translation>
    </message>
    <message id="1546">
        <source>Color total</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Total couleur</translation>
    </message>
    <message id="1547">
        <source>Auto merging</source>
        <extracomment>Editor, history list: field name (the printer has an auto-merge rule)</extracomment>
        <translation>Fusion automatique</translation>
    </message>
    <message id="1548">
        <source>Auto merging applies to</source>
        <extracomment>Editor, history list: field name (connection types of the auto-merge rule)</extracomment>
        <translation>Fusion automatique pour</translation>
    </message>
    <message id="1549">
        <source>Auto merging device</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Fusion automatique, périphérique</translation>
    </message>
    <message id="1550">
        <source>Auto merging host</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Fusion automatique, hôte</translation>
    </message>
    <message id="1551">
        <source>Auto merging port</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Fusion automatique, port</translation>
    </message>
    <message id="1552">
        <source>Auto merging model</source>
        <extracomment>Editor, history list: field name</extracomment>
        <translation>Fusion automatique, modèle</translation>
    </message>
</context>
</TS>
