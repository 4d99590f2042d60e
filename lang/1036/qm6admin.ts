<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>ConsoleWindow</name>
    <message>
        <source>Toolbar</source>
        <translation>Barre d&apos;outils</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>&amp;Ajouter</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Modifier</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Supprimer</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>A&amp;ctualiser</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>&amp;Font...</source>
        <translation>&amp;Police...</translation>
    </message>
    <message>
        <source>No database: the pages stay empty.</source>
        <translation>Aucune base de données : les pages restent vides.</translation>
    </message>
    <message>
        <source>%1, with no more rights than %2</source>
        <translation>%1, sans plus de droits que %2</translation>
    </message>
    <message>
        <source>Connected to %1 as %2</source>
        <translation>Connecté à %1 en tant que %2</translation>
    </message>
    <message>
        <source> (read-only)</source>
        <translation> (lecture seule)</translation>
    </message>
    <message>
        <source>The registered pages could not be read: %1</source>
        <translation>Les pages enregistrées n&apos;ont pas pu être lues : %1</translation>
    </message>
    <message>
        <source>%1 cannot be placed in a window.</source>
        <translation>%1 ne peut pas être placé dans une fenêtre.</translation>
    </message>
    <message>
        <source>The page %1 was skipped: %2</source>
        <translation>La page %1 a été ignorée : %2</translation>
    </message>
    <message>
        <source>Console Font</source>
        <translation>Police de la console</translation>
    </message>
</context>
<context>
    <name>PageLibrary</name>
    <message>
        <source>The library %1 does not exist.</source>
        <translation>La bibliothèque %1 n&apos;existe pas.</translation>
    </message>
    <message>
        <source>The library %1 could not be loaded: %2</source>
        <translation>La bibliothèque %1 n&apos;a pas pu être chargée : %2</translation>
    </message>
    <message>
        <source>The library %1 is not a page plug-in: it has no DllGetClassObject.</source>
        <translation>La bibliothèque %1 n&apos;est pas un module de page : elle n&apos;a pas de DllGetClassObject.</translation>
    </message>
    <message>
        <source>The library %1 has no %2.</source>
        <translation>La bibliothèque %1 n&apos;a pas de %2.</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Don&apos;t show this message again</source>
        <translation>Ne plus afficher ce message</translation>
    </message>
    <message>
        <source>Your choice could not be saved, so this tip will show again.
%1</source>
        <translation>Votre choix n&apos;a pas pu être enregistré ; ce conseil s&apos;affichera donc de nouveau.
%1</translation>
    </message>
    <message>
        <source>No administration pages are registered. Register one with qm6admin --register LIBRARY.</source>
        <translation>Aucune page d&apos;administration n&apos;est enregistrée. Enregistrez-en une avec qm6admin --register BIBLIOTHÈQUE.</translation>
    </message>
    <message>
        <source>The database %1 could not be opened.

%2

The console stays open without data: correct the problem and click Refresh, or start it again with a working --database URL.</source>
        <translation>La base de données %1 n&apos;a pas pu être ouverte.

%2

La console reste ouverte sans données : corrigez le problème et cliquez sur Actualiser, ou relancez-la avec une adresse --database valide.</translation>
    </message>
</context>
</TS>
