<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>QM6DataAccess</name>
    <message>
        <source>Reading a lookup list</source>
        <translation>Lecture d&apos;une liste de référence</translation>
    </message>
    <message>
        <source>Reading the printer list</source>
        <translation>Lecture de la liste des imprimantes</translation>
    </message>
    <message>
        <source>Reading the track profiles</source>
        <translation>Lecture des profils de suivi</translation>
    </message>
    <message>
        <source>Nothing was merged: reload the list and try again.</source>
        <translation>Rien n&apos;a été fusionné : rechargez la liste et réessayez.</translation>
    </message>
    <message>
        <source>Nothing was moved: reload the list and try again.</source>
        <translation>Rien n&apos;a été déplacé : rechargez la liste et réessayez.</translation>
    </message>
    <message>
        <source>Nothing was removed: reload the list and try again.</source>
        <translation>Rien n&apos;a été retiré : rechargez la liste et réessayez.</translation>
    </message>
    <message>
        <source>%1 failed: a row changed under it although it was locked (%2 rows instead of %3). Nothing was changed.</source>
        <translation>%1 a échoué : une ligne a changé alors qu&apos;elle était verrouillée (%2 lignes au lieu de %3). Rien n&apos;a été modifié.</translation>
    </message>
    <message>
        <source>The merged printer&apos;s %1 is %2 characters long; at most %3 are allowed. Nothing was stored.</source>
        <translation>Le champ %1 de l&apos;imprimante fusionnée compte %2 caractères ; %3 au plus sont permis. Rien n&apos;a été enregistré.</translation>
    </message>
    <message>
        <source>Merging &quot;%1&quot; into %2</source>
        <translation>Fusion de « %1 » avec %2</translation>
    </message>
    <message>
        <source>There is no printer or merged printer with the key &quot;%1&quot;.</source>
        <translation>Il n&apos;existe aucune imprimante ni imprimante fusionnée de clé « %1 ».</translation>
    </message>
    <message>
        <source>A printer cannot be merged into itself (key &quot;%1&quot;).</source>
        <translation>Une imprimante ne peut pas être fusionnée avec elle-même (clé « %1 »).</translation>
    </message>
    <message>
        <source>The merged page totals would exceed %1; nothing was merged.</source>
        <translation>Les totaux de pages fusionnés dépasseraient %1 ; rien n&apos;a été fusionné.</translation>
    </message>
    <message>
        <source>The merged printer &quot;%1&quot; does not exist.</source>
        <translation>L&apos;imprimante fusionnée « %1 » n&apos;existe pas.</translation>
    </message>
    <message>
        <source>Moving merged printer &quot;%1&quot;</source>
        <translation>Déplacement de l&apos;imprimante fusionnée « %1 »</translation>
    </message>
    <message>
        <source>Removing merged printer &quot;%1&quot;</source>
        <translation>Retrait de l&apos;imprimante fusionnée « %1 »</translation>
    </message>
    <message>
        <source>The merged printer &quot;%1&quot; no longer exists; it was removed already.</source>
        <translation>L&apos;imprimante fusionnée « %1 » n&apos;existe plus ; elle a déjà été retirée.</translation>
    </message>
    <message>
        <source>The merged printer &quot;%1&quot; now belongs to %2, not to %3. %4</source>
        <translation>L&apos;imprimante fusionnée « %1 » appartient désormais à %2, et non à %3. %4</translation>
    </message>
    <message>
        <source>%1 was refused: %2 Nothing was changed.</source>
        <translation>%1 a été refusé : %2 Rien n&apos;a été modifié.</translation>
    </message>
    <message>
        <source>Starting a transaction</source>
        <translation>Ouverture d&apos;une transaction</translation>
    </message>
    <message>
        <source>There is no open transaction to commit.</source>
        <translation>Aucune transaction n&apos;est ouverte à valider.</translation>
    </message>
    <message>
        <source>The connection to the database was lost before the changes were stored; nothing was written.</source>
        <translation>La connexion à la base de données a été perdue avant l&apos;enregistrement des modifications ; rien n&apos;a été écrit.</translation>
    </message>
    <message>
        <source>The changes were not stored because a step of them failed; nothing was written.</source>
        <translation>Les modifications n&apos;ont pas été enregistrées car l&apos;une de leurs étapes a échoué ; rien n&apos;a été écrit.</translation>
    </message>
    <message>
        <source>Storing the changes (commit)</source>
        <translation>Enregistrement des modifications (validation)</translation>
    </message>
    <message>
        <source>Undoing the changes (rollback)</source>
        <translation>Annulation des modifications (retour arrière)</translation>
    </message>
    <message>
        <source>The data connection is closed.</source>
        <translation>La connexion aux données est fermée.</translation>
    </message>
    <message>
        <source>The connection to the database %1 was lost in the middle of a change; nothing of that change was stored. Try again.</source>
        <translation>La connexion à la base de données %1 a été perdue au milieu d&apos;une modification ; rien de cette modification n&apos;a été enregistré. Réessayez.</translation>
    </message>
    <message>
        <source>The database file %1 is gone (deleted or moved). Printers cannot be read or stored until it is restored.</source>
        <translation>Le fichier de base de données %1 a disparu (supprimé ou déplacé). Les imprimantes ne peuvent être ni lues ni enregistrées tant qu&apos;il n&apos;est pas rétabli.</translation>
    </message>
    <message>
        <source>The database file %1 was replaced by another file (moved or copied over it) while it was open. Nothing was read from or stored into the new file: open the site again to work with it.</source>
        <translation>Le fichier de base de données %1 a été remplacé par un autre fichier (déplacé ou copié par-dessus) pendant qu&apos;il était ouvert. Rien n&apos;a été lu ni enregistré dans le nouveau fichier : rouvrez le site pour travailler avec lui.</translation>
    </message>
    <message>
        <source>its folder %1 does not exist</source>
        <translation>son dossier %1 n&apos;existe pas</translation>
    </message>
    <message>
        <source>the file is not an SQLite database</source>
        <translation>le fichier n&apos;est pas une base de données SQLite</translation>
    </message>
    <message>
        <source>you may not read the file or its folder</source>
        <translation>vous n&apos;avez pas le droit de lire le fichier ou son dossier</translation>
    </message>
    <message>
        <source>SQLite could not open the file</source>
        <translation>SQLite n&apos;a pas pu ouvrir le fichier</translation>
    </message>
    <message>
        <source>the server did not accept the user name or the password</source>
        <translation>le serveur n&apos;a pas accepté le nom d&apos;utilisateur ou le mot de passe</translation>
    </message>
    <message>
        <source>the server has no database of that name: create it (for example with createdb), then make the site in it with &quot;qm6data init %1&quot;</source>
        <translation>le serveur n&apos;a pas de base de données de ce nom : créez-la (par exemple avec createdb), puis créez-y le site avec « qm6data init %1 »</translation>
    </message>
    <message>
        <source>the server did not answer in time</source>
        <translation>le serveur n&apos;a pas répondu à temps</translation>
    </message>
    <message>
        <source>no PostgreSQL server answers at that address: check that it is running and that the host, port or socket folder are right</source>
        <translation>aucun serveur PostgreSQL ne répond à cette adresse : vérifiez qu&apos;il fonctionne et que l&apos;hôte, le port ou le dossier de socket sont corrects</translation>
    </message>
    <message>
        <source>the server refused the connection</source>
        <translation>le serveur a refusé la connexion</translation>
    </message>
    <message>
        <source>The site %1 could not be opened: %2. (The database said: &quot;%3&quot;.)</source>
        <translation>Le site %1 n&apos;a pas pu être ouvert : %2. (La base de données a dit : « %3 ».)</translation>
    </message>
    <message>
        <source>%1 failed: %2</source>
        <translation>%1 a échoué : %2</translation>
    </message>
    <message>
        <source>the database gave no reason</source>
        <translation>la base de données n&apos;a donné aucune raison</translation>
    </message>
    <message>
        <source>you may not create files in %1</source>
        <translation>vous n&apos;avez pas le droit de créer des fichiers dans %1</translation>
    </message>
    <message>
        <source>The site file %1 could not be made: %2.</source>
        <translation>Le fichier de site %1 n&apos;a pas pu être créé : %2.</translation>
    </message>
    <message>
        <source>There is no Quillmark site at %1: the file does not exist.</source>
        <translation>Il n&apos;y a pas de site Quillmark à l&apos;adresse %1 : le fichier n&apos;existe pas.</translation>
    </message>
    <message>
        <source>%1 holds no Quillmark site (its tables are not there).</source>
        <translation>%1 ne contient aucun site Quillmark (ses tables n&apos;y sont pas).</translation>
    </message>
    <message>
        <source>The database address &quot;%1&quot; names no file.</source>
        <translation>L&apos;adresse de base de données « %1 » ne désigne aucun fichier.</translation>
    </message>
    <message>
        <source>The database file %1 does not exist.</source>
        <translation>Le fichier de base de données %1 n&apos;existe pas.</translation>
    </message>
    <message>
        <source>The database address &quot;%1&quot; is not of the form postgresql://user@host:port/database.</source>
        <translation>L&apos;adresse de base de données « %1 » n&apos;est pas de la forme postgresql://utilisateur@hôte:port/base.</translation>
    </message>
    <message>
        <source>The database address &quot;%1&quot; is neither sqlite:PATH nor postgresql://...</source>
        <translation>L&apos;adresse de base de données « %1 » n&apos;est ni sqlite:CHEMIN ni postgresql://...</translation>
    </message>
    <message>
        <source>There is no data connection.</source>
        <translation>Il n&apos;y a aucune connexion aux données.</translation>
    </message>
    <message>
        <source>The %1 is %2 characters long; at most %3 are allowed. Nothing was stored.</source>
        <translation>Le champ %1 compte %2 caractères ; %3 au plus sont permis. Rien n&apos;a été enregistré.</translation>
    </message>
    <message>
        <source>Printer %1 does not exist.</source>
        <translation>L&apos;imprimante %1 n&apos;existe pas.</translation>
    </message>
    <message>
        <source>Your changes were not saved, so that theirs are not overwritten: open the printer again and repeat your changes.</source>
        <translation>Vos modifications n&apos;ont pas été enregistrées, afin de ne pas écraser les siennes : rouvrez l&apos;imprimante et refaites vos modifications.</translation>
    </message>
    <message>
        <source>the new printer &quot;%1&quot;</source>
        <translation>la nouvelle imprimante « %1 »</translation>
    </message>
    <message>
        <source>printer %1</source>
        <translation>l&apos;imprimante %1</translation>
    </message>
    <message>
        <source>Loading printer %1</source>
        <translation>Chargement de l&apos;imprimante %1</translation>
    </message>
    <message>
        <source>The printer has no name. Nothing was stored.</source>
        <translation>L&apos;imprimante n&apos;a pas de nom. Rien n&apos;a été enregistré.</translation>
    </message>
    <message>
        <source>The track profile %1 does not exist; choose another one.</source>
        <translation>Le profil de suivi %1 n&apos;existe pas ; choisissez-en un autre.</translation>
    </message>
    <message>
        <source>the new printer&apos;s identifier did not come back</source>
        <translation>l&apos;identifiant de la nouvelle imprimante n&apos;a pas été renvoyé</translation>
    </message>
    <message>
        <source>Saving %1</source>
        <translation>Enregistrement de %1</translation>
    </message>
    <message>
        <source>Page totals cannot be negative. Nothing was stored.</source>
        <translation>Les totaux de pages ne peuvent pas être négatifs. Rien n&apos;a été enregistré.</translation>
    </message>
    <message>
        <source>Save the printer before its page totals.</source>
        <translation>Enregistrez l&apos;imprimante avant ses totaux de pages.</translation>
    </message>
    <message>
        <source>Saving the page totals of %1</source>
        <translation>Enregistrement des totaux de pages de %1</translation>
    </message>
    <message>
        <source>Deleting %1</source>
        <translation>Suppression de %1</translation>
    </message>
    <message>
        <source>Nothing was deleted.</source>
        <translation>Rien n&apos;a été supprimé.</translation>
    </message>
    <message>
        <source>an unknown time</source>
        <translation>une heure inconnue</translation>
    </message>
    <message>
        <source>the lock on a merged printer could not be let go</source>
        <translation>le verrou sur une imprimante fusionnée n&apos;a pas pu être relâché</translation>
    </message>
    <message>
        <source>It kept moving; nothing was changed: try again.</source>
        <translation>Elle n&apos;a cessé de bouger ; rien n&apos;a été modifié : réessayez.</translation>
    </message>
    <message>
        <source>Naming a printer</source>
        <translation>Recherche du nom d&apos;une imprimante</translation>
    </message>
    <message>
        <source>printer </source>
        <translation>l&apos;imprimante </translation>
    </message>
    <message>
        <source>Printer </source>
        <translation>L&apos;imprimante </translation>
    </message>
    <message>
        <source>The printer with the key </source>
        <translation>L&apos;imprimante de clé </translation>
    </message>
    <message>
        <source>Printer %1</source>
        <translation>L&apos;imprimante %1</translation>
    </message>
    <message>
        <source>Finding out what became of a printer</source>
        <translation>Recherche de ce qu&apos;est devenue une imprimante</translation>
    </message>
    <message>
        <source>%1 was merged into %2 in the meantime. %3</source>
        <translation>%1 a été fusionnée avec %2 entre-temps. %3</translation>
    </message>
    <message>
        <source>%1 no longer exists. %2</source>
        <translation>%1 n&apos;existe plus. %2</translation>
    </message>
    <message>
        <source> (opened as %1)</source>
        <translation> (ouverte sous le nom %1)</translation>
    </message>
    <message>
        <source>another user</source>
        <translation>un autre utilisateur</translation>
    </message>
    <message>
        <source>%1 was %2 by %3 on %4, after you opened it. %5</source>
        <translation>%1 a été %2 par %3 le %4, après que vous l&apos;avez ouverte. %5</translation>
    </message>
    <message>
        <source>deleted</source>
        <translation>supprimée</translation>
    </message>
    <message>
        <source>changed</source>
        <translation>modifiée</translation>
    </message>
    <message>
        <source>The merged printer %1 was removed in the meantime. %2</source>
        <translation>L&apos;imprimante fusionnée %1 a été retirée entre-temps. %2</translation>
    </message>
    <message>
        <source>The merged printer %1 was moved to %2 in the meantime. %3</source>
        <translation>L&apos;imprimante fusionnée %1 a été déplacée vers %2 entre-temps. %3</translation>
    </message>
    <message>
        <source>Reading the schema version</source>
        <translation>Lecture de la version du schéma</translation>
    </message>
    <message>
        <source>%1 is not a Quillmark site: it has no schema version. Nothing was changed.</source>
        <translation>%1 n&apos;est pas un site Quillmark : il n&apos;a pas de version de schéma. Rien n&apos;a été modifié.</translation>
    </message>
    <message>
        <source>The database is of schema version %1, newer than this program knows (%2). Use a newer Quillmark version.</source>
        <translation>La base de données est de la version de schéma %1, plus récente que celle que ce programme connaît (%2). Utilisez une version plus récente de Quillmark.</translation>
    </message>
    <message>
        <source>Creating the site&apos;s tables</source>
        <translation>Création des tables du site</translation>
    </message>
    <message>
        <source>Bringing the site&apos;s tables up to date (version %1 to %2; this needs write access)</source>
        <translation>Mise à jour des tables du site (version %1 vers %2 ; cela demande un accès en écriture)</translation>
    </message>
    <message>
        <source>Asking the database who you are</source>
        <translation>Demande à la base de données de qui vous êtes</translation>
    </message>
    <message>
        <source>This program runs as user id %1, which has no name on this computer, so the site cannot tell who you are. Run it as a user listed in the user database (/etc/passwd).</source>
        <translation>Ce programme s&apos;exécute sous l&apos;identifiant d&apos;utilisateur %1, qui n&apos;a pas de nom sur cet ordinateur ; le site ne peut donc pas savoir qui vous êtes. Exécutez-le sous un utilisateur inscrit dans la base des utilisateurs (/etc/passwd).</translation>
    </message>
    <message>
        <source>The database did not say who you are; the site cannot be opened.</source>
        <translation>La base de données n&apos;a pas dit qui vous êtes ; le site ne peut pas être ouvert.</translation>
    </message>
    <message>
        <source>Checking permissions</source>
        <translation>Vérification des autorisations</translation>
    </message>
    <message>
        <source>The user &quot;%1&quot;, whose rights you asked to be limited to, is not known to this database, so no permission is left.</source>
        <translation>L&apos;utilisateur « %1 », aux droits duquel vous avez demandé d&apos;être limité, n&apos;est pas connu de cette base de données ; il ne reste donc aucune autorisation.</translation>
    </message>
    <message>
        <source>The user &quot;%1&quot; is not known to this database, so no permission can be granted. An administrator can add the user with: qm6data grant %2 %1</source>
        <translation>L&apos;utilisateur « %1 » n&apos;est pas connu de cette base de données ; aucune autorisation ne peut donc être accordée. Un administrateur peut ajouter l&apos;utilisateur avec : qm6data grant %2 %1</translation>
    </message>
    <message>
        <source>The user &quot;%1&quot; does not have permission %2%3.%4</source>
        <translation>L&apos;utilisateur « %1 » n&apos;a pas l&apos;autorisation %2%3.%4</translation>
    </message>
    <message>
        <source>This connection to %1 only reads.</source>
        <translation>Cette connexion à %1 ne fait que lire.</translation>
    </message>
    <message>
        <source>The database file %1 is read-only for &quot;%2&quot;, so printers can be looked at but not changed.</source>
        <translation>Le fichier de base de données %1 est en lecture seule pour « %2 » : les imprimantes peuvent être consultées mais pas modifiées.</translation>
    </message>
    <message>
        <source>The database role &quot;%1&quot; may only read the site&apos;s tables, so printers can be looked at but not changed.</source>
        <translation>Le rôle de base de données « %1 » ne peut que lire les tables du site : les imprimantes peuvent être consultées mais pas modifiées.</translation>
    </message>
    <message>
        <source>Giving the site&apos;s creator its rights</source>
        <translation>Attribution de ses droits au créateur du site</translation>
    </message>
    <message>
        <source>Asking who owns the database</source>
        <translation>Demande du propriétaire de la base de données</translation>
    </message>
    <message>
        <source>Only the site&apos;s owner and users with permission %1 (may change users) may grant and revoke permissions; &quot;%2&quot; is neither.</source>
        <translation>Seuls le propriétaire du site et les utilisateurs ayant l&apos;autorisation %1 (peut modifier les utilisateurs) peuvent accorder et retirer des autorisations ; « %2 » n&apos;est ni l&apos;un ni l&apos;autre.</translation>
    </message>
    <message>
        <source>Granting permissions to &quot;%1&quot;</source>
        <translation>Attribution d&apos;autorisations à « %1 »</translation>
    </message>
    <message>
        <source>Revoking permissions from &quot;%1&quot;</source>
        <translation>Retrait d&apos;autorisations à « %1 »</translation>
    </message>
    <message>
        <source>There is no permission %1; the permissions are %2, %3, %4 and %5.</source>
        <translation>Il n&apos;existe pas d&apos;autorisation %1 ; les autorisations sont %2, %3, %4 et %5.</translation>
    </message>
    <message>
        <source>The user &quot;%1&quot; is not known to this database.</source>
        <translation>L&apos;utilisateur « %1 » n&apos;est pas connu de cette base de données.</translation>
    </message>
    <message>
        <source>Listing the site&apos;s users</source>
        <translation>Liste des utilisateurs du site</translation>
    </message>
    <message>
        <source>A track profile needs a name; give one.</source>
        <translation>Un profil de suivi doit avoir un nom ; donnez-en un.</translation>
    </message>
    <message>
        <source>The track profile name is %1 characters long; at most %2 are allowed.</source>
        <translation>Le nom du profil de suivi compte %1 caractères ; %2 au plus sont permis.</translation>
    </message>
    <message>
        <source>The track profile %1 is already called &quot;%2&quot;; choose another name.</source>
        <translation>Le profil de suivi %1 s&apos;appelle déjà « %2 » ; choisissez un autre nom.</translation>
    </message>
    <message>
        <source>Adding the standard track profiles</source>
        <translation>Ajout des profils de suivi standard</translation>
    </message>
    <message>
        <source>Adding the track profile &quot;%1&quot;</source>
        <translation>Ajout du profil de suivi « %1 »</translation>
    </message>
    <message>
        <source>Renaming the track profile %1</source>
        <translation>Renommage du profil de suivi %1</translation>
    </message>
    <message>
        <source>There is no track profile %1; list the profiles to find its number.</source>
        <translation>Il n&apos;existe pas de profil de suivi %1 ; affichez la liste des profils pour trouver son numéro.</translation>
    </message>
    <message>
        <source>Reading the history of printer %1</source>
        <translation>Lecture de l&apos;historique de l&apos;imprimante %1</translation>
    </message>
    <message>
        <source>Reading the history of the printers</source>
        <translation>Lecture de l&apos;historique des imprimantes</translation>
    </message>
</context>
</TS>
