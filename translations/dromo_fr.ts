<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>QObject</name>
    <message>
        <source>Remove</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Edit...</source>
        <translation>Modifier…</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>Enable Category</source>
        <translation>Utiliser les catégories</translation>
    </message>
    <message>
        <source>Extension</source>
        <translation>Extension</translation>
    </message>
    <message>
        <source>Save to</source>
        <translation>Enregistrer dans</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>This place provides you the convenience to categorise the downloaded files. All the files matched the specified extension will be saved to the defined location.</source>
        <translation>Classez ici les fichiers téléchargés. Tous les fichiers portant l’extension indiquée sont enregistrés dans le dossier défini.</translation>
    </message>
    <message>
        <source>All the categories are in this list, view the properties of each item by double-clicking on it.</source>
        <translation>Toutes les catégories figurent dans cette liste. Double-cliquez sur une entrée pour afficher ses propriétés.</translation>
    </message>
    <message>
        <source>Add a new category to the list.</source>
        <translation>Ajoute une nouvelle catégorie à la liste.</translation>
    </message>
    <message>
        <source>Remove an existing category from the list.</source>
        <translation>Supprime une catégorie existante de la liste.</translation>
    </message>
    <message>
        <source>Edit an existing category in the list.</source>
        <translation>Modifie une catégorie existante de la liste.</translation>
    </message>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>Enable Proxy</source>
        <translation>Utiliser un proxy</translation>
    </message>
    <message>
        <source>Proxy Server</source>
        <translation>Serveur proxy</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Add...</source>
        <translation>Ajouter…</translation>
    </message>
    <message>
        <source>This place provides you the convenience to configure proxy servers.</source>
        <translation>Configurez ici les serveurs proxy.</translation>
    </message>
    <message>
        <source>All the proxy servers are in this list, view the properties of each item by double-clicking on it.</source>
        <translation>Tous les serveurs proxy figurent dans cette liste. Double-cliquez sur une entrée pour afficher ses propriétés.</translation>
    </message>
    <message>
        <source>Add a new proxy server to the list.</source>
        <translation>Ajoute un nouveau serveur proxy à la liste.</translation>
    </message>
    <message>
        <source>Remove an existing proxy server from the list.</source>
        <translation>Supprime un serveur proxy existant de la liste.</translation>
    </message>
    <message>
        <source>Edit an existing proxy server in the list.</source>
        <translation>Modifie un serveur proxy existant de la liste.</translation>
    </message>
    <message>
        <source>Security</source>
        <translation>Sécurité</translation>
    </message>
    <message>
        <source>Enable Security</source>
        <translation>Utiliser les identifiants par serveur</translation>
    </message>
    <message>
        <source>Host</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>This place provides you the convenience to set site security individually. You can bind the pair of username and password to a site.</source>
        <translation>Définissez ici des identifiants propres à chaque serveur. Vous pouvez associer un nom d’utilisateur et un mot de passe à un serveur.</translation>
    </message>
    <message>
        <source>All the sites are in this list, view the properties of each item by double-clicking on it.</source>
        <translation>Tous les serveurs figurent dans cette liste. Double-cliquez sur une entrée pour afficher ses propriétés.</translation>
    </message>
    <message>
        <source>Add a new site to the list.</source>
        <translation>Ajoute un nouveau serveur à la liste.</translation>
    </message>
    <message>
        <source>Remove an existing site from the list.</source>
        <translation>Supprime un serveur existant de la liste.</translation>
    </message>
    <message>
        <source>Edit an existing site in the list.</source>
        <translation>Modifie un serveur existant de la liste.</translation>
    </message>
    <message>
        <source>Please select a folder below. Then click OK.</source>
        <translation>Veuillez choisir un dossier ci-dessous, puis cliquer sur «&#xa0;OK&#xa0;».</translation>
    </message>
    <message>
        <source>Cannot open folder</source>
        <translation>Impossible d’ouvrir le dossier</translation>
    </message>
</context>
<context>
    <name>dromo</name>
    <message>
        <source>Fail to start virus scanner.</source>
        <translation>Impossible de lancer l’antivirus.</translation>
    </message>
    <message>
        <source>The selected task is running, stop it first.</source>
        <translation>Le téléchargement sélectionné est en cours. Veuillez d’abord l’arrêter.</translation>
    </message>
    <message>
        <source>This file is not downloaded completely, you had better leave it alone.</source>
        <translation>Ce fichier n’est pas entièrement téléchargé. Mieux vaut ne pas y toucher.</translation>
    </message>
    <message>
        <source>This file is being downloaded, you cannot open it now.</source>
        <translation>Ce fichier est en cours de téléchargement et ne peut pas être ouvert maintenant.</translation>
    </message>
    <message>
        <source>File not found or moved</source>
        <translation>Fichier introuvable ou déplacé</translation>
    </message>
    <message>
        <source>invalid url</source>
        <translation>URL non valide</translation>
    </message>
    <message>
        <source>The same file is being downloaded.</source>
        <translation>Le même fichier est déjà en cours de téléchargement.</translation>
    </message>
    <message>
        <source>Nothing to download: the URL is empty or ends in &quot;/&quot;.</source>
        <translation>Rien à télécharger&#xa0;: l’URL est vide ou se termine par «&#xa0;/&#xa0;».</translation>
    </message>
    <message>
        <source>No history.</source>
        <translation>Aucun historique.</translation>
    </message>
    <message>
        <source>This action will permanently clear your download record so far, are you sure?</source>
        <translation>Cette action efface définitivement l’historique des téléchargements. Voulez-vous continuer&#x202f;?</translation>
    </message>
    <message>
        <source>The task has started meanwhile; its properties were not changed.</source>
        <translation>Le téléchargement a démarré entre-temps&#x202f;; ses propriétés n’ont pas été modifiées.</translation>
    </message>
    <message>
        <source>A category with the same extension has existed.</source>
        <translation>Une catégorie avec la même extension existe déjà.</translation>
    </message>
    <message>
        <source>The same proxy has existed.</source>
        <translation>Ce proxy existe déjà.</translation>
    </message>
    <message>
        <source>The same site has existed.</source>
        <translation>Ce serveur existe déjà.</translation>
    </message>
    <message>
        <source>Please enter an integer.</source>
        <translation>Veuillez saisir un nombre entier.</translation>
    </message>
    <message>
        <source>The settings could not be saved.</source>
        <translation>Les paramètres n’ont pas pu être enregistrés.</translation>
    </message>
    <message>
        <source>Dromo already starts up.</source>
        <translation>Dromo est déjà lancé.</translation>
    </message>
    <message>
        <source>None of the page&apos;s links can be downloaded.</source>
        <translation>Aucun des liens de la page ne peut être téléchargé.</translation>
    </message>
    <message>
        <source>an unnamed file</source>
        <translation>un fichier sans nom</translation>
    </message>
    <message>
        <source>Your computer will be shut down in 15 seconds.</source>
        <translation>L’ordinateur va s’éteindre dans 15 secondes.</translation>
    </message>
    <message>
        <source>Your Internet connection will be hang up in 15 seconds.</source>
        <translation>La connexion à Internet va être coupée dans 15 secondes.</translation>
    </message>
    <message>
        <source>Task is in queue.</source>
        <translation>Téléchargement en file d’attente.</translation>
    </message>
    <message>
        <source>Task is paused.</source>
        <translation>Téléchargement en pause.</translation>
    </message>
    <message>
        <source>Task is running.</source>
        <translation>Téléchargement en cours.</translation>
    </message>
    <message>
        <source>Task is done.</source>
        <translation>Téléchargement terminé.</translation>
    </message>
    <message>
        <source>Error occurs.</source>
        <translation>Une erreur s’est produite.</translation>
    </message>
    <message>
        <source>Task is scheduled.</source>
        <translation>Téléchargement planifié.</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Noir</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Bleu</translation>
    </message>
    <message>
        <source>Turquoise</source>
        <translation>Turquoise</translation>
    </message>
    <message>
        <source>Bright Green</source>
        <translation>Vert vif</translation>
    </message>
    <message>
        <source>Pink</source>
        <translation>Rose</translation>
    </message>
    <message>
        <source>Red</source>
        <translation>Rouge</translation>
    </message>
    <message>
        <source>Yellow</source>
        <translation>Jaune</translation>
    </message>
    <message>
        <source>White</source>
        <translation>Blanc</translation>
    </message>
    <message>
        <source>Dark Blue</source>
        <translation>Bleu foncé</translation>
    </message>
    <message>
        <source>Teal</source>
        <translation>Bleu sarcelle</translation>
    </message>
    <message>
        <source>Green</source>
        <translation>Vert</translation>
    </message>
    <message>
        <source>Violet</source>
        <translation>Violet</translation>
    </message>
    <message>
        <source>Dark Red</source>
        <translation>Rouge foncé</translation>
    </message>
    <message>
        <source>Dark Yellow</source>
        <translation>Jaune foncé</translation>
    </message>
    <message>
        <source>Gray-50%</source>
        <translation>Gris 50 %</translation>
    </message>
    <message>
        <source>Gray-25%</source>
        <translation>Gris 25 %</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Oui</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>Download finished</source>
        <translation>Téléchargement terminé</translation>
    </message>
    <message>
        <source>Download failed</source>
        <translation>Échec du téléchargement</translation>
    </message>
    <message>
        <source>File has been downloaded</source>
        <translation>Le fichier a été téléchargé</translation>
    </message>
    <message>
        <source>File has already existed</source>
        <translation>Le fichier existe déjà</translation>
    </message>
    <message>
        <source>Error - cancelled by user.</source>
        <translation>Erreur – annulé par l’utilisateur.</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: no valid status line</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: aucune ligne d’état valide</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: a partial answer that does not fit the range asked for</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: une réponse partielle qui ne correspond pas à la plage demandée</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: the whole file instead of a range</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: le fichier entier au lieu d’une plage</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: its partial answers do not fit the file; try again later</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: ses réponses partielles ne correspondent pas au fichier&#x202f;; réessayez plus tard</translation>
    </message>
    <message>
        <source>Error - the server keeps changing the file; try again later</source>
        <translation>Erreur – le serveur ne cesse de modifier le fichier&#x202f;; réessayez plus tard</translation>
    </message>
    <message>
        <source>Error 10053 - connection closed before the file was complete</source>
        <translation>Erreur 10053 – connexion fermée avant la fin du fichier</translation>
    </message>
    <message>
        <source>The server&apos;s partial answer does not fit the file; downloading it again from the start</source>
        <translation>La réponse partielle du serveur ne correspond pas au fichier&#x202f;; nouveau téléchargement depuis le début</translation>
    </message>
    <message>
        <source>The file changed on the server; downloading it again from the start</source>
        <translation>Le fichier a changé sur le serveur&#x202f;; nouveau téléchargement depuis le début</translation>
    </message>
    <message>
        <source>Nothing tells what the bytes on disk are; downloading the file again from the start</source>
        <translation>Rien n’indique la nature des octets sur le disque&#x202f;; nouveau téléchargement du fichier depuis le début</translation>
    </message>
    <message>
        <source>The file moved to an FTP server; downloading it again from the start</source>
        <translation>Le fichier a été déplacé sur un serveur FTP&#x202f;; nouveau téléchargement depuis le début</translation>
    </message>
    <message>
        <source>Fail - the site refused the download: the browser&apos;s cookies for it were not kept when Dromo restarted; start it again from the browser</source>
        <translation>Échec – le site a refusé le téléchargement&#xa0;: les cookies du navigateur n’ont pas été conservés au redémarrage de Dromo&#x202f;; relancez-le depuis le navigateur</translation>
    </message>
    <message>
        <source>Please enter an integer between %1 and %2.</source>
        <translation>Veuillez saisir un nombre entier compris entre %1 et %2.</translation>
    </message>
    <message>
        <source>Please enter no more than %1 characters.</source>
        <translation>Veuillez saisir %1 caractères au maximum.</translation>
    </message>
    <message>
        <source>%1 tasks is running</source>
        <translation>Téléchargements en cours&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1 tasks is in queue</source>
        <translation>Téléchargements en attente&#xa0;: %1</translation>
    </message>
    <message>
        <source>Speed: %1 KB/s</source>
        <translation>Vitesse&#xa0;: %1 Ko/s</translation>
    </message>
    <message>
        <source>The page offers %1 links; Dromo takes at most %2 at once.</source>
        <translation>La page propose %1 liens&#x202f;; Dromo en accepte au plus %2 à la fois.</translation>
    </message>
    <message>
        <source>%1 was not found.</source>
        <translation>%1 est introuvable.</translation>
    </message>
    <message>
        <source>%1 contains an invalid path.</source>
        <translation>%1 contient un chemin non valide.</translation>
    </message>
    <message>
        <source>Access to %1 was denied.</source>
        <translation>L’accès à %1 a été refusé.</translation>
    </message>
    <message>
        <source>The disk is full while accessing %1.</source>
        <translation>Le disque est plein (lors de l’accès à %1).</translation>
    </message>
    <message>
        <source>A sharing violation occurred while accessing %1.</source>
        <translation>%1 est utilisé par un autre programme.</translation>
    </message>
    <message>
        <source>An unexpected error occurred while accessing %1.</source>
        <translation>Une erreur inattendue s’est produite lors de l’accès à %1.</translation>
    </message>
    <message>
        <source>%1 downloads finished, %2 failed</source>
        <translation>%1 téléchargements terminés, %2 en échec</translation>
    </message>
    <message>
        <source>%1 download finished, %2 failed</source>
        <translation>%1 téléchargement terminé, %2 en échec</translation>
    </message>
    <message>
        <source>%1 downloads finished</source>
        <translation>%1 téléchargements terminés</translation>
    </message>
    <message>
        <source>%1 download finished</source>
        <translation>%1 téléchargement terminé</translation>
    </message>
    <message>
        <source>%1 downloads failed</source>
        <translation>%1 téléchargements en échec</translation>
    </message>
    <message>
        <source>%1 download failed</source>
        <translation>%1 téléchargement en échec</translation>
    </message>
    <message>
        <source>%1 (failed: %2)</source>
        <translation>%1 (échec&#xa0;: %2)</translation>
    </message>
    <message>
        <source>%1 (failed)</source>
        <translation>%1 (échec)</translation>
    </message>
    <message>
        <source>and %1 more</source>
        <translation>et %1 de plus</translation>
    </message>
    <message>
        <source>Connecting to %1...</source>
        <translation>Connexion à %1…</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>Enregistré sous %1</translation>
    </message>
    <message>
        <source>Saving as %1: %2 was not written by Dromo</source>
        <translation>Enregistrement sous %1&#xa0;: %2 n’a pas été écrit par Dromo</translation>
    </message>
    <message>
        <source>Saving as %1: %2 is another file</source>
        <translation>Enregistrement sous %1&#xa0;: %2 est un autre fichier</translation>
    </message>
    <message>
        <source>Error 407 from proxy: %1</source>
        <translation>Erreur 407 du proxy&#xa0;: %1</translation>
    </message>
    <message>
        <source>Error %1 from server: %2</source>
        <translation>Erreur %1 du serveur&#xa0;: %2</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: more than %1 response heads</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: plus de %1 en-têtes de réponse</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: a response head of more than %1 KB</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: un en-tête de réponse de plus de %1 Ko</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: it is not HTTP (%1)</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: ce n’est pas du HTTP (%1)</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: %1</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: %1</translation>
    </message>
    <message>
        <source>Error writing %1: %2</source>
        <translation>Erreur lors de l’écriture de %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Error renaming %1 to %2: %3</source>
        <translation>Erreur lors du renommage de %1 en %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>Error - no data received for %1 seconds</source>
        <translation>Erreur – aucune donnée reçue depuis %1 secondes</translation>
    </message>
    <message>
        <source>Error 10053 - connection aborted after %1 bytes: %2</source>
        <translation>Erreur 10053 – connexion interrompue après %1 octets&#xa0;: %2</translation>
    </message>
    <message>
        <source>Error 10053 - connection aborted with %1 of %2 bytes: %3</source>
        <translation>Erreur 10053 – connexion interrompue à %1 octets sur %2&#xa0;: %3</translation>
    </message>
    <message>
        <source>Error 10053 - connection closed after %1 of %2 bytes</source>
        <translation>Erreur 10053 – connexion fermée après %1 octets sur %2</translation>
    </message>
    <message>
        <source>Error - the server refused the file: %1</source>
        <translation>Erreur – le serveur a refusé le fichier&#xa0;: %1</translation>
    </message>
    <message>
        <source>Error - %1</source>
        <translation>Erreur – %1</translation>
    </message>
    <message>
        <source>Fail to open %1: %2</source>
        <translation>Impossible d’ouvrir %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Fail to resolve %1: %2</source>
        <translation>Impossible de résoudre %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Fail to connect to %1: no answer for %2 seconds</source>
        <translation>Impossible de se connecter à %1&#xa0;: aucune réponse depuis %2 secondes</translation>
    </message>
    <message>
        <source>Fail to connect to %1: %2</source>
        <translation>Impossible de se connecter à %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Fail to write into %1: %2</source>
        <translation>Impossible d’écrire dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Fail - no free file name beside %1</source>
        <translation>Échec – aucun nom de fichier libre à côté de %1</translation>
    </message>
    <message>
        <source>Fail - secure connection to %1 refused: %2</source>
        <translation>Échec – connexion sécurisée à %1 refusée&#xa0;: %2</translation>
    </message>
    <message>
        <source>Fail - too many redirects: %1</source>
        <translation>Échec – trop de redirections&#xa0;: %1</translation>
    </message>
    <message>
        <source>Fail - login denied by %1: %2</source>
        <translation>Échec – connexion refusée par %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Fail - the proxy refused to connect to %1 (answer %2)</source>
        <translation>Échec – le proxy refuse de se connecter à %1 (réponse %2)</translation>
    </message>
    <message>
        <source>Fail - the target %1 is a folder, not a file</source>
        <translation>Échec – la cible %1 est un dossier, pas un fichier</translation>
    </message>
    <message>
        <source>Fail - the target %1 exists and is not a file</source>
        <translation>Échec – la cible %1 existe et n’est pas un fichier</translation>
    </message>
    <message>
        <source>Fail - %1 is a folder on the server, not a file</source>
        <translation>Échec – %1 est un dossier sur le serveur, pas un fichier</translation>
    </message>
    <message>
        <source>Fail - %1</source>
        <translation>Échec – %1</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>N/A</source>
        <translation>N/D</translation>
    </message>
    <message>
        <source>Too many tasks were added since Dromo started. Restart Dromo to add more.</source>
        <translation>Trop de téléchargements ont été ajoutés depuis le lancement de Dromo. Redémarrez Dromo pour en ajouter d’autres.</translation>
    </message>
    <message>
        <source>The browser&apos;s cookie, referrer or user agent holds a line break or another control character.</source>
        <translation>Le cookie, le référent ou l’agent utilisateur du navigateur contient un saut de ligne ou un autre caractère de contrôle.</translation>
    </message>
    <message>
        <source>The browser&apos;s cookie is longer than 8000 bytes, more than a request may carry.</source>
        <translation>Le cookie du navigateur dépasse 8000 octets, plus qu’une requête ne peut en transporter.</translation>
    </message>
    <message>
        <source>user agent</source>
        <translation>l’agent utilisateur</translation>
    </message>
    <message>
        <source>referrer</source>
        <translation>le référent</translation>
    </message>
    <message>
        <source>cookie</source>
        <translation>le cookie</translation>
    </message>
    <message>
        <source>FTP login</source>
        <translation>l’identifiant FTP</translation>
    </message>
    <message>
        <source>FTP password</source>
        <translation>le mot de passe FTP</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: a response header too large to read</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: un en-tête de réponse trop grand pour être lu</translation>
    </message>
    <message>
        <source>Error - out of memory</source>
        <translation>Erreur – mémoire insuffisante</translation>
    </message>
    <message>
        <source>Error - less than one byte a second received for %1 seconds</source>
        <translation>Erreur – moins d’un octet par seconde reçu depuis %1 secondes</translation>
    </message>
    <message>
        <source>Fail - the cookie is %1 bytes, more than the %2 a request may carry; nothing was sent</source>
        <translation>Échec – le cookie fait %1 octets, plus que les %2 qu’une requête peut transporter&#x202f;; rien n’a été envoyé</translation>
    </message>
    <message>
        <source>Fail - the %1 holds a line break or another control character; nothing was sent</source>
        <translation>Échec – %1 contient un saut de ligne ou un autre caractère de contrôle&#x202f;; rien n’a été envoyé</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Tous</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>En cours</translation>
    </message>
    <message>
        <source>Queued</source>
        <translation>En attente</translation>
    </message>
    <message>
        <source>Paused</source>
        <translation>En pause</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Terminés</translation>
    </message>
    <message>
        <source>Failed</source>
        <translation>En échec</translation>
    </message>
    <message>
        <source>1 task</source>
        <translation>1 téléchargement</translation>
    </message>
    <message>
        <source>A checksum belongs to one file: leave it empty when adding several URLs.</source>
        <translation>Une somme de contrôle appartient à un seul fichier&#xa0;: laissez-la vide pour ajouter plusieurs URL.</translation>
    </message>
    <message>
        <source>Fail - the file does not match its %1 checksum</source>
        <translation>Échec – le fichier ne correspond pas à sa somme de contrôle %1</translation>
    </message>
    <message>
        <source>File has been downloaded - Verified %1</source>
        <translation>Le fichier a été téléchargé – %1 vérifié</translation>
    </message>
    <message>
        <source>The file does not match its %1 checksum: downloading it again from zero</source>
        <translation>Le fichier ne correspond pas à sa somme de contrôle %1&#xa0;: nouveau téléchargement depuis le début</translation>
    </message>
    <message>
        <source>%1 tasks</source>
        <translation>%1 téléchargements</translation>
    </message>
    <message>
        <source>The pattern makes more than %1 URLs; Dromo adds at most %2 at once.</source>
        <translation>Le motif produit plus de %1 URL&#xa0;; Dromo en ajoute au plus %2 à la fois.</translation>
    </message>
    <message>
        <source>The pattern makes %1 URLs; Dromo adds at most %2 at once.</source>
        <translation>Le motif produit %1 URL&#xa0;; Dromo en ajoute au plus %2 à la fois.</translation>
    </message>
    <message>
        <source>The lines make more than %1 URLs; Dromo adds at most %2 at once.</source>
        <translation>Les lignes produisent plus de %1 URL&#xa0;; Dromo en ajoute au plus %2 à la fois.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an http, https or ftp URL of a file.</source>
        <translation>« %1 » n’est pas une URL http, https ou ftp de fichier.</translation>
    </message>
    <message>
        <source>%1 at character %2 is not a range: use numbers (&quot;[1-20]&quot;, &quot;[001-120]&quot;) or letters of one case (&quot;[a-f]&quot;), with an optional step (&quot;[0-100:10]&quot;).</source>
        <translation>%1 au caractère %2 n’est pas une plage&#xa0;: utilisez des nombres («&#xa0;[1-20]&#xa0;», «&#xa0;[001-120]&#xa0;») ou des lettres de même casse («&#xa0;[a-f]&#xa0;»), avec un pas facultatif («&#xa0;[0-100:10]&#xa0;»).</translation>
    </message>
    <message>
        <source>The step of %1 at character %2 must be a whole number of at least 1.</source>
        <translation>Le pas de %1 au caractère %2 doit être un nombre entier d’au moins 1.</translation>
    </message>
    <message>
        <source>%1 at character %2 has a number too large to count to.</source>
        <translation>%1 au caractère %2 contient un nombre trop grand.</translation>
    </message>
    <message>
        <source>%1 at character %2 counts backwards; write &quot;%3&quot;.</source>
        <translation>%1 au caractère %2 compte à rebours&#xa0;; écrivez «&#xa0;%3&#xa0;».</translation>
    </message>
    <message>
        <source>%1 at character %2 closes nothing; write &quot;%3&quot; for the character itself.</source>
        <translation>%1 au caractère %2 ne ferme rien&#xa0;; écrivez «&#xa0;%3&#xa0;» pour le caractère lui-même.</translation>
    </message>
    <message>
        <source>Patterns do not nest: %1 at character %2 is inside %3 at character %4.</source>
        <translation>Les motifs ne s’imbriquent pas&#xa0;: %1 au caractère %2 est dans %3 au caractère %4.</translation>
    </message>
    <message>
        <source>%1 at character %2 has no closing %3.</source>
        <translation>%1 au caractère %2 n’a pas de %3 fermant.</translation>
    </message>
    <message>
        <source>&quot;{}&quot; at character %1 offers nothing to choose from.</source>
        <translation>« {} » au caractère %1 n’offre rien à choisir.</translation>
    </message>
    <message>
        <source>The checksum cannot be used: unknown checksum algorithm %1 (use sha-256, sha-512, sha-1 or md5).</source>
        <translation>La somme de contrôle est inutilisable&#xa0;: algorithme inconnu %1 (utilisez sha-256, sha-512, sha-1 ou md5).</translation>
    </message>
    <message>
        <source>The checksum cannot be used: a checksum of %1 characters fits no algorithm; write it as sha-256=HEX.</source>
        <translation>La somme de contrôle est inutilisable&#xa0;: une somme de %1 caractères ne correspond à aucun algorithme&#xa0;; écrivez-la sous la forme sha-256=HEX.</translation>
    </message>
    <message>
        <source>The checksum cannot be used: a %1 checksum is %2 hexadecimal digits.</source>
        <translation>La somme de contrôle est inutilisable&#xa0;: une somme %1 compte %2 chiffres hexadécimaux.</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Ligne %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Another task in the list saves to this file; its properties were not changed.</source>
        <translation>Un autre téléchargement de la liste enregistre dans ce fichier&#x202f;; les propriétés n’ont pas été modifiées.</translation>
    </message>
    <message>
        <source>The Metalink file lists no file.</source>
        <translation>Le fichier Metalink ne contient aucun fichier.</translation>
    </message>
    <message>
        <source>This is not a Metalink file: it is empty.</source>
        <translation>Ce n’est pas un fichier Metalink&#xa0;: il est vide.</translation>
    </message>
    <message>
        <source>This is not a Metalink file: it is not well-formed XML.</source>
        <translation>Ce n’est pas un fichier Metalink&#xa0;: ce n’est pas du XML bien formé.</translation>
    </message>
    <message>
        <source>This is not a Metalink file: its root element is not &lt;metalink&gt; of Metalink 3 or 4.</source>
        <translation>Ce n’est pas un fichier Metalink&#xa0;: son élément racine n’est pas le &lt;metalink&gt; de Metalink 3 ou 4.</translation>
    </message>
    <message>
        <source>a Metalink file may not declare a document type or entities.</source>
        <translation>un fichier Metalink ne peut déclarer ni type de document ni entités.</translation>
    </message>
    <message>
        <source>a file has no name.</source>
        <translation>un fichier n’a pas de nom.</translation>
    </message>
    <message>
        <source>The Metalink file %1 cannot be read: %2.</source>
        <translation>Le fichier Metalink %1 ne peut pas être lu&#xa0;: %2.</translation>
    </message>
    <message>
        <source>The Metalink file is larger than %1 MB.</source>
        <translation>Le fichier Metalink dépasse %1 Mo.</translation>
    </message>
    <message>
        <source>The Metalink file lists more than %1 files.</source>
        <translation>Le fichier Metalink contient plus de %1 fichiers.</translation>
    </message>
    <message>
        <source>This is not a Metalink file: %1.</source>
        <translation>Ce n’est pas un fichier Metalink&#xa0;: %1.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a plain file name; Dromo saves no file outside its folder.</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas un simple nom de fichier&#xa0;; Dromo n’enregistre aucun fichier hors de son dossier.</translation>
    </message>
    <message>
        <source>the size &quot;%1&quot; is not a number of bytes.</source>
        <translation>la taille «&#xa0;%1&#xa0;» n’est pas un nombre d’octets.</translation>
    </message>
    <message>
        <source>the piece length &quot;%1&quot; is not a number of bytes.</source>
        <translation>la longueur de morceau «&#xa0;%1&#xa0;» n’est pas un nombre d’octets.</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; lists more than %2 URLs.</source>
        <translation>le fichier «&#xa0;%1&#xa0;» indique plus de %2 URL.</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; lists more than %2 pieces.</source>
        <translation>le fichier «&#xa0;%1&#xa0;» indique plus de %2 morceaux.</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; has no http, https or ftp URL.</source>
        <translation>le fichier «&#xa0;%1&#xa0;» n’a aucune URL http, https ou ftp.</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; has %2 piece hashes where its size needs %3.</source>
        <translation>le fichier «&#xa0;%1&#xa0;» a %2 empreintes de morceaux là où sa taille en demande %3.</translation>
    </message>
    <message>
        <source>the %1 hash of &quot;%2&quot; is not %3 hexadecimal digits.</source>
        <translation>l’empreinte %1 de «&#xa0;%2&#xa0;» ne compte pas %3 chiffres hexadécimaux.</translation>
    </message>
    <message>
        <source>Task has failed.</source>
        <translation>Le téléchargement a échoué.</translation>
    </message>
    <message>
        <source>Task is done and its file verified.</source>
        <translation>Téléchargement terminé, fichier vérifié.</translation>
    </message>
    <message>
        <source>Already downloaded</source>
        <translation>Déjà téléchargé</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Download Again</source>
        <translation>Télécharger à nouveau</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>%1 already downloaded</source>
        <translation>%1 déjà téléchargés</translation>
    </message>
    <message>
        <source>%1 is already in %2.</source>
        <translation>%1 se trouve déjà dans %2.</translation>
    </message>
    <message>
        <source>%1 (already downloaded)</source>
        <translation>%1 (déjà téléchargé)</translation>
    </message>
    <message>
        <source>Fail - the keyring holds this task&apos;s password and did not give it (locked, or not running); unlock it, or type the password in the task&apos;s properties, and start the task again</source>
        <translation>Échec – le trousseau contient le mot de passe de cette tâche et ne l&apos;a pas donné (verrouillé ou non démarré)&#x202f;; déverrouillez-le, ou saisissez le mot de passe dans les propriétés de la tâche, puis relancez la tâche</translation>
    </message>
    <message>
        <source>The URL holds a line break or another control character.</source>
        <translation>L’URL contient un saut de ligne ou un autre caractère de contrôle.</translation>
    </message>
    <message>
        <source>The task was added, but the task list could not be saved.</source>
        <translation>Le téléchargement a été ajouté, mais la liste des téléchargements n’a pas pu être enregistrée.</translation>
    </message>
    <message>
        <source>%1 of %2 URLs were added; the others were refused: %3</source>
        <translation>%1 URL sur %2 ont été ajoutées&#x202f;; les autres ont été refusées&#xa0;: %3</translation>
    </message>
    <message>
        <source>Shut down the computer when all downloads are done? Dromo counts down 15 seconds first, and you can cancel then.</source>
        <translation>Éteindre l’ordinateur quand tous les téléchargements sont terminés&#xa0;? Dromo compte d’abord 15 secondes à rebours, et vous pouvez encore annuler.</translation>
    </message>
    <message>
        <source>Hang up the Internet connection when all downloads are done? Dromo counts down 15 seconds first, and you can cancel then.</source>
        <translation>Couper la connexion Internet quand tous les téléchargements sont terminés&#xa0;? Dromo compte d’abord 15 secondes à rebours, et vous pouvez encore annuler.</translation>
    </message>
    <message>
        <source>The countdown was cancelled. Switch off &quot;Shut Down Computer When Done&quot; and &quot;Hang up When Done&quot; too?</source>
        <translation>Le compte à rebours a été annulé. Désactiver aussi «&#xa0;Éteindre l’ordinateur une fois terminé&#xa0;» et «&#xa0;Raccrocher une fois terminé&#xa0;»&#xa0;?</translation>
    </message>
    <message>
        <source>The countdown was cancelled. Switch off &quot;Shut Down Computer When Done&quot; too?</source>
        <translation>Le compte à rebours a été annulé. Désactiver aussi «&#xa0;Éteindre l’ordinateur une fois terminé&#xa0;»&#xa0;?</translation>
    </message>
    <message>
        <source>The countdown was cancelled. Switch off &quot;Hang up When Done&quot; too?</source>
        <translation>Le compte à rebours a été annulé. Désactiver aussi «&#xa0;Raccrocher une fois terminé&#xa0;»&#xa0;?</translation>
    </message>
    <message>
        <source>%1KB/s</source>
        <translation>%1Ko/s</translation>
    </message>
    <message>
        <source>The video variant cannot be used: give best, lowest, a height (720p), a resolution (1280x720) or a bandwidth (2500k).</source>
        <translation>La variante vidéo est inutilisable&#xa0;: indiquez best, lowest, une hauteur (720p), une résolution (1280x720) ou un débit (2500k).</translation>
    </message>
    <message>
        <source>Fail - secure connection to the proxy %1 refused: %2</source>
        <translation>Échec – connexion sécurisée au proxy %1 refusée&#xa0;: %2</translation>
    </message>
    <message>
        <source>Fail - %1 offers no TLS and &quot;Require TLS for FTP&quot; is on: the login was not sent</source>
        <translation>Échec – %1 ne propose pas TLS et «&#xa0;Exiger TLS pour FTP&#xa0;» est activé&#xa0;: l’identification n’a pas été envoyée</translation>
    </message>
    <message>
        <source>Error - the recording holds no segment</source>
        <translation>Erreur – l’enregistrement ne contient aucun segment</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: the range lies past its end</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: la plage dépasse la fin du fichier</translation>
    </message>
    <message>
        <source>Error in the server&apos;s answer: its range does not fit the part asked for</source>
        <translation>Erreur dans la réponse du serveur&#xa0;: sa plage ne correspond pas à la partie demandée</translation>
    </message>
    <message>
        <source>one variant</source>
        <translation>une variante</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>mémoire insuffisante</translation>
    </message>
    <message>
        <source>the recording holds neither video nor sound</source>
        <translation>l’enregistrement ne contient ni vidéo ni son</translation>
    </message>
    <message>
        <source>This is not an HLS playlist: it does not begin with #EXTM3U.</source>
        <translation>Ce n’est pas une liste de lecture HLS&#xa0;: elle ne commence pas par #EXTM3U.</translation>
    </message>
    <message>
        <source>the playlist mixes variant streams with media segments</source>
        <translation>la liste de lecture mêle des flux de variantes et des segments de média</translation>
    </message>
    <message>
        <source>EXT-X-STREAM-INF without the URI of its stream</source>
        <translation>EXT-X-STREAM-INF sans l’URI de son flux</translation>
    </message>
    <message>
        <source>the master playlist names no variant stream</source>
        <translation>la liste de lecture principale ne nomme aucun flux de variante</translation>
    </message>
    <message>
        <source>the media playlist has no EXT-X-TARGETDURATION</source>
        <translation>la liste de lecture de média n’a pas d’EXT-X-TARGETDURATION</translation>
    </message>
    <message>
        <source>a variant stream without a readable BANDWIDTH</source>
        <translation>un flux de variante sans BANDWIDTH lisible</translation>
    </message>
    <message>
        <source>a rendition without TYPE or GROUP-ID</source>
        <translation>un rendu sans TYPE ni GROUP-ID</translation>
    </message>
    <message>
        <source>an AES-128 key without a URI</source>
        <translation>une clé AES-128 sans URI</translation>
    </message>
    <message>
        <source>EXT-X-MAP without a URI</source>
        <translation>EXT-X-MAP sans URI</translation>
    </message>
    <message>
        <source>a byte range without an offset that follows no range of the same resource</source>
        <translation>une plage d’octets sans décalage qui ne suit aucune plage de la même ressource</translation>
    </message>
    <message>
        <source>a byte range past the largest file</source>
        <translation>une plage d’octets au-delà du plus grand fichier possible</translation>
    </message>
    <message>
        <source>the stream changes its initialization section (EXT-X-MAP) on the way, which one file cannot hold</source>
        <translation>le flux change de section d’initialisation (EXT-X-MAP) en cours de route, ce qu’un seul fichier ne peut pas contenir</translation>
    </message>
    <message>
        <source>This is not a DASH manifest: it is empty.</source>
        <translation>Ce n’est pas un manifeste DASH&#xa0;: il est vide.</translation>
    </message>
    <message>
        <source>This is not a DASH manifest: it is not well-formed XML.</source>
        <translation>Ce n’est pas un manifeste DASH&#xa0;: ce n’est pas du XML bien formé.</translation>
    </message>
    <message>
        <source>This is not a DASH manifest: its root element is not &lt;MPD&gt;.</source>
        <translation>Ce n’est pas un manifeste DASH&#xa0;: son élément racine n’est pas &lt;MPD&gt;.</translation>
    </message>
    <message>
        <source>a DASH manifest may not declare a document type or entities.</source>
        <translation>un manifeste DASH ne peut déclarer ni type de document ni entités.</translation>
    </message>
    <message>
        <source>This is a live DASH stream (type=&quot;dynamic&quot;), which Dromo does not record.</source>
        <translation>C’est un flux DASH en direct (type=&quot;dynamic&quot;), que Dromo n’enregistre pas.</translation>
    </message>
    <message>
        <source>the manifest has no Period</source>
        <translation>le manifeste n’a pas de Period</translation>
    </message>
    <message>
        <source>the manifest has several periods, which Dromo does not join into one file</source>
        <translation>le manifeste a plusieurs périodes, que Dromo ne réunit pas en un seul fichier</translation>
    </message>
    <message>
        <source>the manifest has no video or audio representation</source>
        <translation>le manifeste n’a aucune représentation vidéo ou audio</translation>
    </message>
    <message>
        <source>the stream is protected by DRM (ContentProtection), which Dromo does not record</source>
        <translation>le flux est protégé par un DRM (ContentProtection)&#xa0;; Dromo ne l’enregistre pas</translation>
    </message>
    <message>
        <source>a representation without a readable bandwidth</source>
        <translation>une représentation sans bande passante lisible</translation>
    </message>
    <message>
        <source>a SegmentTimeline entry whose t, d or r cannot be read</source>
        <translation>une entrée de SegmentTimeline dont t, d ou r ne peut pas être lu</translation>
    </message>
    <message>
        <source>a SegmentTimeline repeats to the end of a period of no known duration</source>
        <translation>une SegmentTimeline se répète jusqu’à la fin d’une période de durée inconnue</translation>
    </message>
    <message>
        <source>a SegmentTemplate without media, or with a timescale or startNumber that cannot be read</source>
        <translation>un SegmentTemplate sans media, ou dont le timescale ou le startNumber ne peut pas être lu</translation>
    </message>
    <message>
        <source>a SegmentTemplate with neither a SegmentTimeline nor a duration and a known period</source>
        <translation>un SegmentTemplate sans SegmentTimeline ni duration avec une période connue</translation>
    </message>
    <message>
        <source>a SegmentTemplate that makes no segment</source>
        <translation>un SegmentTemplate qui ne donne aucun segment</translation>
    </message>
    <message>
        <source>a SegmentList whose timescale or duration cannot be read</source>
        <translation>une SegmentList dont le timescale ou la duration ne peut pas être lu</translation>
    </message>
    <message>
        <source>a SegmentList without a SegmentURL</source>
        <translation>une SegmentList sans SegmentURL</translation>
    </message>
    <message>
        <source>a template with an unclosed $</source>
        <translation>un modèle avec un $ non fermé</translation>
    </message>
    <message>
        <source>%1 (segment %2); left out of the recording</source>
        <translation>%1 (segment %2)&#xa0;; omis de l’enregistrement</translation>
    </message>
    <message>
        <source>%1 (segment %2); trying again in %3 s</source>
        <translation>%1 (segment %2)&#xa0;; nouvel essai dans %3 s</translation>
    </message>
    <message>
        <source>%1 (the initialization section); trying again in %2 s</source>
        <translation>%1 (section d’initialisation)&#xa0;; nouvel essai dans %2 s</translation>
    </message>
    <message>
        <source>%1 (segment %2)</source>
        <translation>%1 (segment %2)</translation>
    </message>
    <message>
        <source>%1 (the initialization section)</source>
        <translation>%1 (section d’initialisation)</translation>
    </message>
    <message>
        <source>%1 (the key %2)</source>
        <translation>%1 (clé %2)</translation>
    </message>
    <message>
        <source>%1; trying again</source>
        <translation>%1&#xa0;; nouvel essai</translation>
    </message>
    <message>
        <source>Segment %1 of %2, %3 of %4</source>
        <translation>Segment %1 sur %2, %3 sur %4</translation>
    </message>
    <message>
        <source>Recording live: %1 segments, %2</source>
        <translation>Enregistrement en direct&#xa0;: %1 segments, %2</translation>
    </message>
    <message>
        <source>Recording ended by the user after %1</source>
        <translation>Enregistrement arrêté par l’utilisateur après %1</translation>
    </message>
    <message>
        <source>Making one file of %1 segments...</source>
        <translation>Création d’un seul fichier à partir de %1 segments…</translation>
    </message>
    <message>
        <source>The live playlist could not be read %1 times: the recording ends here</source>
        <translation>La liste de lecture en direct n’a pas pu être lue %1 fois&#xa0;: l’enregistrement s’arrête ici</translation>
    </message>
    <message>
        <source>Error - no connection could be made for %1</source>
        <translation>Erreur – aucune connexion n’a pu être établie pour %1</translation>
    </message>
    <message>
        <source>Error - segment %1 cannot be decrypted with its key %2</source>
        <translation>Erreur – le segment %1 ne peut pas être déchiffré avec sa clé %2</translation>
    </message>
    <message>
        <source>Error - the key %1 is not 16 bytes long</source>
        <translation>Erreur – la clé %1 ne fait pas 16 octets</translation>
    </message>
    <message>
        <source>Error - %1 is larger than the %2 MB a piece of a stream may have</source>
        <translation>Erreur – %1 dépasse les %2 Mo qu’un morceau de flux peut avoir</translation>
    </message>
    <message>
        <source>Error - the recording cannot be made into one file: %1</source>
        <translation>Erreur – l’enregistrement ne peut pas devenir un seul fichier&#xa0;: %1</translation>
    </message>
    <message>
        <source>Fail - %1 answers with neither an HLS playlist nor a DASH manifest</source>
        <translation>Échec – %1 ne répond ni par une liste de lecture HLS ni par un manifeste DASH</translation>
    </message>
    <message>
        <source>Fail - the playlist cannot be recorded: %1</source>
        <translation>Échec – la liste de lecture ne peut pas être enregistrée&#xa0;: %1</translation>
    </message>
    <message>
        <source>Fail - the playlist %1 cannot be recorded: %2</source>
        <translation>Échec – la liste de lecture %1 ne peut pas être enregistrée&#xa0;: %2</translation>
    </message>
    <message>
        <source>Fail - the playlist %1 names other playlists where its segments should be</source>
        <translation>Échec – la liste de lecture %1 nomme d’autres listes de lecture là où devraient figurer ses segments</translation>
    </message>
    <message>
        <source>Fail - the manifest cannot be recorded: %1</source>
        <translation>Échec – le manifeste ne peut pas être enregistré&#xa0;: %1</translation>
    </message>
    <message>
        <source>Fail - the stream&apos;s video or sound cannot go into a file named %1; name it .mkv</source>
        <translation>Échec – la vidéo ou le son du flux ne peut pas aller dans un fichier nommé %1&#xa0;; nommez-le .mkv</translation>
    </message>
    <message>
        <source>Error %1 from server</source>
        <translation>Erreur %1 du serveur</translation>
    </message>
    <message>
        <source>The playlist is larger than %1 MB.</source>
        <translation>La liste de lecture dépasse %1 Mo.</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is no http or https URL</source>
        <translation>«&#xa0;%1&#xa0;» n’est pas une URL http ou https</translation>
    </message>
    <message>
        <source>&quot;%1&quot; follows neither EXTINF nor EXT-X-STREAM-INF</source>
        <translation>«&#xa0;%1&#xa0;» ne suit ni EXTINF ni EXT-X-STREAM-INF</translation>
    </message>
    <message>
        <source>the attributes of %1 cannot be read</source>
        <translation>les attributs de %1 ne peuvent pas être lus</translation>
    </message>
    <message>
        <source>the segment&apos;s duration &quot;%1&quot; cannot be read</source>
        <translation>la durée «&#xa0;%1&#xa0;» du segment ne peut pas être lue</translation>
    </message>
    <message>
        <source>the target duration &quot;%1&quot; cannot be read</source>
        <translation>la durée cible «&#xa0;%1&#xa0;» ne peut pas être lue</translation>
    </message>
    <message>
        <source>the media sequence &quot;%1&quot; cannot be used</source>
        <translation>la séquence de média «&#xa0;%1&#xa0;» n’est pas utilisable</translation>
    </message>
    <message>
        <source>the resolution &quot;%1&quot; cannot be read</source>
        <translation>la résolution «&#xa0;%1&#xa0;» ne peut pas être lue</translation>
    </message>
    <message>
        <source>the byte range &quot;%1&quot; cannot be read</source>
        <translation>la plage d’octets «&#xa0;%1&#xa0;» ne peut pas être lue</translation>
    </message>
    <message>
        <source>the IV &quot;%1&quot; is not 0x and 32 hex digits</source>
        <translation>l’IV «&#xa0;%1&#xa0;» n’est pas 0x suivi de 32 chiffres hexadécimaux</translation>
    </message>
    <message>
        <source>the stream is encrypted with %1 (DRM), which Dromo does not record</source>
        <translation>le flux est chiffré avec %1 (DRM)&#xa0;; Dromo ne l’enregistre pas</translation>
    </message>
    <message>
        <source>the stream is encrypted with &quot;%1&quot;, which Dromo cannot decrypt</source>
        <translation>le flux est chiffré avec «&#xa0;%1&#xa0;», que Dromo ne sait pas déchiffrer</translation>
    </message>
    <message>
        <source>the stream&apos;s key is kept by a DRM system (KEYFORMAT &quot;%1&quot;), which Dromo does not record</source>
        <translation>la clé du flux est détenue par un système DRM (KEYFORMAT «&#xa0;%1&#xa0;»)&#xa0;; Dromo ne l’enregistre pas</translation>
    </message>
    <message>
        <source>more than %1 variant streams</source>
        <translation>plus de %1 flux de variantes</translation>
    </message>
    <message>
        <source>more than %1 renditions</source>
        <translation>plus de %1 rendus</translation>
    </message>
    <message>
        <source>more than %1 keys</source>
        <translation>plus de %1 clés</translation>
    </message>
    <message>
        <source>more than %1 EXT-X-MAP tags</source>
        <translation>plus de %1 balises EXT-X-MAP</translation>
    </message>
    <message>
        <source>more than %1 segments</source>
        <translation>plus de %1 segments</translation>
    </message>
    <message>
        <source>The manifest is larger than %1 MB.</source>
        <translation>Le manifeste dépasse %1 Mo.</translation>
    </message>
    <message>
        <source>This is not a DASH manifest: %1.</source>
        <translation>Ce n’est pas un manifeste DASH&#xa0;: %1.</translation>
    </message>
    <message>
        <source>the manifest has more than %1 elements</source>
        <translation>le manifeste a plus de %1 éléments</translation>
    </message>
    <message>
        <source>the manifest nests elements more than %1 deep</source>
        <translation>le manifeste imbrique des éléments sur plus de %1 niveaux</translation>
    </message>
    <message>
        <source>more than %1 representations</source>
        <translation>plus de %1 représentations</translation>
    </message>
    <message>
        <source>a representation of more than %1 segments</source>
        <translation>une représentation de plus de %1 segments</translation>
    </message>
    <message>
        <source>a SegmentTimeline of more than %1 segments</source>
        <translation>une SegmentTimeline de plus de %1 segments</translation>
    </message>
    <message>
        <source>the range &quot;%1&quot; cannot be read</source>
        <translation>la plage «&#xa0;%1&#xa0;» ne peut pas être lue</translation>
    </message>
    <message>
        <source>a template&apos;s format &quot;%1&quot; cannot be used</source>
        <translation>le format «&#xa0;%1&#xa0;» d’un modèle n’est pas utilisable</translation>
    </message>
    <message>
        <source>a template&apos;s width &quot;%1&quot; cannot be used</source>
        <translation>la largeur «&#xa0;%1&#xa0;» d’un modèle n’est pas utilisable</translation>
    </message>
    <message>
        <source>a template&apos;s identifier $%1$ is unknown</source>
        <translation>l’identifiant $%1$ d’un modèle est inconnu</translation>
    </message>
    <message>
        <source>the recording cannot be read: %1</source>
        <translation>l’enregistrement ne peut pas être lu&#xa0;: %1</translation>
    </message>
    <message>
        <source>the recorded media cannot be read: %1</source>
        <translation>les médias enregistrés ne peuvent pas être lus&#xa0;: %1</translation>
    </message>
    <message>
        <source>the file format &quot;%1&quot; cannot be written: %2</source>
        <translation>le format de fichier «&#xa0;%1&#xa0;» ne peut pas être écrit&#xa0;: %2</translation>
    </message>
    <message>
        <source>the file cannot be written: %1</source>
        <translation>le fichier ne peut pas être écrit&#xa0;: %1</translation>
    </message>
    <message>
        <source>a piece of %1 bytes is too large to keep</source>
        <translation>un morceau de %1 octets est trop grand pour être gardé</translation>
    </message>
    <message>
        <source>%1 stream: %2, %3 segments already here</source>
        <translation>Flux %1&#xa0;: %2, %3 segments déjà là</translation>
    </message>
    <message>
        <source>%1 stream: %2</source>
        <translation>Flux %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1, sound &quot;%2&quot;</source>
        <translation>%1, son «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>%1, sound %2 kbit/s</source>
        <translation>%1, son %2 kbit/s</translation>
    </message>
    <message>
        <source>video %1 kbit/s</source>
        <translation>vidéo %1 kbit/s</translation>
    </message>
    <message>
        <source>sound %1 kbit/s</source>
        <translation>son %1 kbit/s</translation>
    </message>
    <message>
        <source>Leaving the mirror %1: %2</source>
        <translation>Abandon du miroir %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>it brings %1 B/s, another mirror %2 B/s</source>
        <translation>il fournit %1 o/s, un autre miroir %2 o/s</translation>
    </message>
    <message>
        <source>it brings %1 B/s, another connection %2 B/s</source>
        <translation>il fournit %1 o/s, une autre connexion %2 o/s</translation>
    </message>
    <message>
        <source>its bytes %1-%2 differ from those of two other mirrors</source>
        <translation>ses octets %1-%2 diffèrent de ceux de deux autres miroirs</translation>
    </message>
    <message>
        <source>its bytes %1-%2 differ from those of %3</source>
        <translation>ses octets %1-%2 diffèrent de ceux de %3</translation>
    </message>
    <message>
        <source>piece %1 does not match its digest</source>
        <translation>la pièce %1 ne correspond pas à sa somme de contrôle</translation>
    </message>
    <message>
        <source>a file of %1 bytes, not %2</source>
        <translation>un fichier de %1 octets, et non de %2</translation>
    </message>
    <message>
        <source>The address has expired</source>
        <translation>L’adresse a expiré</translation>
    </message>
    <message>
        <source>the task has no bytes on disk to compare</source>
        <translation>la tâche n’a aucun octet sur le disque à comparer</translation>
    </message>
    <message>
        <source>the bytes on disk could not be read</source>
        <translation>les octets sur le disque n’ont pas pu être lus</translation>
    </message>
    <message>
        <source>the new address names another length, or none</source>
        <translation>la nouvelle adresse indique une autre longueur, ou aucune</translation>
    </message>
    <message>
        <source>the new address names another version of the file (ETag)</source>
        <translation>la nouvelle adresse indique une autre version du fichier (ETag)</translation>
    </message>
    <message>
        <source>the new address names another version of the file (Last-Modified)</source>
        <translation>la nouvelle adresse indique une autre version du fichier (Last-Modified)</translation>
    </message>
    <message>
        <source>the new address has other bytes before the resume point</source>
        <translation>la nouvelle adresse a d’autres octets avant le point de reprise</translation>
    </message>
    <message>
        <source>the task no longer waits for a new address</source>
        <translation>la tâche n’attend plus de nouvelle adresse</translation>
    </message>
    <message>
        <source>The address is not provably the task&apos;s file (%1); nothing was changed.</source>
        <translation>Rien ne prouve que l’adresse soit le fichier de la tâche (%1)&#xa0;; rien n’a été modifié.</translation>
    </message>
    <message>
        <source>the new address did not answer with the bytes asked for (%1)</source>
        <translation>la nouvelle adresse n’a pas répondu avec les octets demandés (%1)</translation>
    </message>
    <message>
        <source>the new address did not answer: %1</source>
        <translation>la nouvelle adresse n’a pas répondu&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>dromo::CAboutDlg</name>
    <message>
        <source>About Dromo</source>
        <translation>À propos de Dromo</translation>
    </message>
    <message>
        <source>A download manager for HTTP, HTTPS and FTP.</source>
        <translation>Un gestionnaire de téléchargements pour HTTP, HTTPS et FTP.</translation>
    </message>
    <message>
        <source>Physical memory: %1</source>
        <translation>Mémoire physique&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>dromo::CAddURL</name>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL&#xa0;:</translation>
    </message>
    <message>
        <source>Save as:</source>
        <translation>Enregistrer sous&#xa0;:</translation>
    </message>
    <message>
        <source>Checksum:</source>
        <translation>Somme de contrôle&#xa0;:</translation>
    </message>
    <message>
        <source>optional: sha-256=… or the value sha256sum prints</source>
        <translation>facultatif&#xa0;: sha-256=… ou la valeur qu’affiche sha256sum</translation>
    </message>
    <message>
        <source>The file is verified against this digest (SHA-256, SHA-512, SHA-1 or MD5) before it is called downloaded.</source>
        <translation>Le fichier est vérifié avec cette empreinte (SHA-256, SHA-512, SHA-1 ou MD5) avant d’être considéré comme téléchargé.</translation>
    </message>
    <message>
        <source>Enter a URL first: the other tabs open once the URL and &quot;Save as&quot; are filled in.</source>
        <translation>Saisissez d’abord une URL&#xa0;: les autres onglets s’ouvrent une fois l’URL et «&#xa0;Enregistrer sous&#xa0;» remplis.</translation>
    </message>
    <message>
        <source>Video variant:</source>
        <translation>Variante vidéo&#xa0;:</translation>
    </message>
    <message>
        <source>best, or lowest, 720p, 1280x720, 2500k</source>
        <translation>best, ou lowest, 720p, 1280x720, 2500k</translation>
    </message>
    <message>
        <source>For a video stream (an HLS playlist or a DASH manifest): the variant to record. A height, resolution or bandwidth takes the best variant that does not exceed it.</source>
        <translation>Pour un flux vidéo (une playlist HLS ou un manifeste DASH)&#xa0;: la variante à enregistrer. Une hauteur, une résolution ou un débit prend la meilleure variante qui ne le dépasse pas.</translation>
    </message>
</context>
<context>
    <name>dromo::CCFGSch</name>
    <message>
        <source>Schedule</source>
        <translation>Planification</translation>
    </message>
    <message>
        <source>Enable Schedule</source>
        <translation>Utiliser la planification</translation>
    </message>
    <message>
        <source>until Finished</source>
        <translation>jusqu’à la fin</translation>
    </message>
    <message>
        <source>Schedule Download</source>
        <translation>Téléchargement planifié</translation>
    </message>
    <message>
        <source>Start at:</source>
        <translation>Début à&#xa0;:</translation>
    </message>
    <message>
        <source>Duration:</source>
        <translation>Durée&#xa0;:</translation>
    </message>
    <message>
        <source>mins</source>
        <translation>min</translation>
    </message>
    <message>
        <source>If you check it, all the tasks will be scheduled and only run when time is up. It has no effect on running tasks.</source>
        <translation>Si cette case est cochée, tous les téléchargements sont planifiés et ne démarrent qu’à l’heure prévue. Les téléchargements en cours ne sont pas concernés.</translation>
    </message>
    <message>
        <source>Set the start time for Dromo to run the task.</source>
        <translation>Définit l’heure à laquelle Dromo lance le téléchargement.</translation>
    </message>
    <message>
        <source>If checked, Dromo will run the task until the specified file has been downloaded completely.</source>
        <translation>Si cette case est cochée, Dromo télécharge jusqu’à ce que le fichier soit complet.</translation>
    </message>
    <message>
        <source>Set how long Dromo will run the task every time.</source>
        <translation>Définit la durée de chaque session de téléchargement.</translation>
    </message>
</context>
<context>
    <name>dromo::CCFGSnd</name>
    <message>
        <source>Sounds</source>
        <translation>Sons</translation>
    </message>
    <message>
        <source>Enable Sound</source>
        <translation>Activer les sons</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Écouter</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>Change...</source>
        <translation>Modifier…</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Événement</translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>Son</translation>
    </message>
    <message>
        <source>File Added</source>
        <translation>Fichier ajouté</translation>
    </message>
    <message>
        <source>Start Download</source>
        <translation>Début du téléchargement</translation>
    </message>
    <message>
        <source>Job Done</source>
        <translation>Téléchargement terminé</translation>
    </message>
    <message>
        <source>Encounter Error</source>
        <translation>Erreur rencontrée</translation>
    </message>
    <message>
        <source>This place provides you the convenience to add sound alert for four events.</source>
        <translation>Associez ici un son à quatre événements.</translation>
    </message>
    <message>
        <source>All the events are in this list, change each item by double-clicking on it.</source>
        <translation>Tous les événements figurent dans cette liste. Double-cliquez sur une entrée pour la modifier.</translation>
    </message>
    <message>
        <source>Play the sound file associated with this event.</source>
        <translation>Joue le fichier son associé à cet événement.</translation>
    </message>
    <message>
        <source>Remove the sound file associated with this event.</source>
        <translation>Supprime le fichier son associé à cet événement.</translation>
    </message>
    <message>
        <source>Change the sound file associated with this event.</source>
        <translation>Modifie le fichier son associé à cet événement.</translation>
    </message>
    <message>
        <source>Wave Audio Files (*.wav)</source>
        <translation>Fichiers audio Wave (*.wav)</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgAuto</name>
    <message>
        <source>Automation</source>
        <translation>Automatisation</translation>
    </message>
    <message>
        <source>Capture Clicks in Chromium, Chrome, Edge and Brave</source>
        <translation>Intercepter les clics dans Chromium, Chrome, Edge et Brave</translation>
    </message>
    <message>
        <source>Capture Clicks in Firefox</source>
        <translation>Intercepter les clics dans Firefox</translation>
    </message>
    <message>
        <source>Capture All FTP</source>
        <translation>Intercepter tous les téléchargements FTP</translation>
    </message>
    <message>
        <source>Start with Browser</source>
        <translation>Démarrer avec le navigateur</translation>
    </message>
    <message>
        <source>Browser Integration</source>
        <translation>Intégration au navigateur</translation>
    </message>
    <message>
        <source>File Types:</source>
        <translation>Types de fichiers&#xa0;:</translation>
    </message>
    <message>
        <source>Capture the download of the files in Chromium-family browsers (Chromium, Chrome, Edge, Brave), whose type is defined in File Types field.</source>
        <translation>Intercepte, dans les navigateurs de la famille Chromium (Chromium, Chrome, Edge, Brave), le téléchargement des fichiers dont le type figure dans le champ «&#xa0;Types de fichiers&#xa0;».</translation>
    </message>
    <message>
        <source>Capture the download of the files in Firefox, whose type is defined in File Types field.</source>
        <translation>Intercepte, dans Firefox, le téléchargement des fichiers dont le type figure dans le champ «&#xa0;Types de fichiers&#xa0;».</translation>
    </message>
    <message>
        <source>Capture all the FTP download.</source>
        <translation>Intercepte tous les téléchargements FTP.</translation>
    </message>
    <message>
        <source>Start Dromo when browser starts up.</source>
        <translation>Lance Dromo au démarrage du navigateur.</translation>
    </message>
    <message>
        <source>Specify the file extensions that can be captured by Dromo,  delimitated by blank space.</source>
        <translation>Indiquez les extensions de fichiers que Dromo doit intercepter, séparées par des espaces.</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>Presse-papiers</translation>
    </message>
    <message>
        <source>When a link to a file of a type in File Types field is copied, Dromo offers to download it: the Add URL dialog, or a notice while its window is hidden.</source>
        <translation>Quand un lien vers un fichier d’un type du champ «&#xa0;Types de fichiers&#xa0;» est copié, Dromo propose de le télécharger&#xa0;: avec la boîte «&#xa0;Ajouter une URL&#xa0;» ou, si sa fenêtre est masquée, par une notification.</translation>
    </message>
    <message>
        <source>Offer copied links to files of the types in File Types (none yet) for download</source>
        <translation>Proposer de télécharger les liens copiés vers des fichiers des types de «&#xa0;Types de fichiers&#xa0;» (aucun pour l’instant)</translation>
    </message>
    <message>
        <source>Offer copied links to files of these types for download: %1</source>
        <translation>Proposer de télécharger les liens copiés vers des fichiers de ces types&#xa0;: %1</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgConn</name>
    <message>
        <source>Connection</source>
        <translation>Connexion</translation>
    </message>
    <message>
        <source>Thread limits</source>
        <translation>Limites</translation>
    </message>
    <message>
        <source>Max downloading tasks:</source>
        <translation>Téléchargements simultanés&#xa0;:</translation>
    </message>
    <message>
        <source>Connections per task:</source>
        <translation>Connexions par téléchargement&#xa0;:</translation>
    </message>
    <message>
        <source>Error Control</source>
        <translation>Gestion des erreurs</translation>
    </message>
    <message>
        <source>Max Error Count:</source>
        <translation>Nombre maximal d’essais&#xa0;:</translation>
    </message>
    <message>
        <source>Interval between Retries:</source>
        <translation>Délai entre deux essais&#xa0;:</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Time Out</source>
        <translation>Délai d’attente</translation>
    </message>
    <message>
        <source>Max Idle Time:</source>
        <translation>Inactivité maximale&#xa0;:</translation>
    </message>
    <message>
        <source>Specify the max amount of the tasks that can run at the same time, which can range from 1 to 12.</source>
        <translation>Définit le nombre de téléchargements pouvant s’exécuter en même temps (de 1 à 12).</translation>
    </message>
    <message>
        <source>Specify how many connections a task may open to download one large file, which can range from 1 to 16. A server that refuses extra connections gets fewer.</source>
        <translation>Définit le nombre de connexions qu’un téléchargement peut ouvrir pour un gros fichier (de 1 à 16). Un serveur qui refuse des connexions supplémentaires en reçoit moins.</translation>
    </message>
    <message>
        <source>Specify how many times Dromo will retry the tasks that encounter error</source>
        <translation>Définit le nombre de nouvelles tentatives de Dromo pour un téléchargement en erreur</translation>
    </message>
    <message>
        <source>Specify how long Dromo will wait till next try.</source>
        <translation>Définit combien de temps Dromo attend avant le prochain essai.</translation>
    </message>
    <message>
        <source>Specify the max idle time for each task. It means if a running task doesn&apos;t receive anything for the specified seconds, it will stop and make next try if possible.</source>
        <translation>Définit l’inactivité maximale de chaque téléchargement&#xa0;: s’il ne reçoit rien pendant ce nombre de secondes, il s’arrête et fait, si possible, un nouvel essai.</translation>
    </message>
    <message>
        <source>Control the download speed. In most cases, leave it alone.</source>
        <translation>Limite la vitesse de téléchargement. Dans la plupart des cas, laissez ce réglage tel quel.</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgGen</name>
    <message>
        <source>General</source>
        <translation>Général</translation>
    </message>
    <message>
        <source>&gt;&gt;</source>
        <translation>&gt;&gt;</translation>
    </message>
    <message>
        <source>Clear All</source>
        <translation>Tout effacer</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>Save to:</source>
        <translation>Enregistrer dans&#xa0;:</translation>
    </message>
    <message>
        <source>Identity</source>
        <translation>Identifiants</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Utilisateur&#xa0;:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe&#xa0;:</translation>
    </message>
    <message>
        <source>History</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Max ListBox Item:</source>
        <translation>Entrées de la barre d’adresse&#xa0;:</translation>
    </message>
    <message>
        <source>Delete task from list after done</source>
        <translation>Retirer de la liste les téléchargements terminés</translation>
    </message>
    <message>
        <source>Resume all tasks after running</source>
        <translation>Reprendre tous les téléchargements au démarrage</translation>
    </message>
    <message>
        <source>Enable cookie</source>
        <translation>Utiliser les cookies</translation>
    </message>
    <message>
        <source>Popup Add URL dialog</source>
        <translation>Ouvrir la boîte «&#xa0;Ajouter une URL&#xa0;»</translation>
    </message>
    <message>
        <source>Notify when downloads are done</source>
        <translation>Avertir à la fin des téléchargements</translation>
    </message>
    <message>
        <source>Keep the computer awake while downloading</source>
        <translation>Empêcher la mise en veille pendant les téléchargements</translation>
    </message>
    <message>
        <source>Enter the default location to store the downloaded files.</source>
        <translation>Indiquez le dossier par défaut des fichiers téléchargés.</translation>
    </message>
    <message>
        <source>Open the Browse for Folder dialog to select a folder.</source>
        <translation>Ouvre une boîte de dialogue pour choisir un dossier.</translation>
    </message>
    <message>
        <source>Enter the default user id used in each FTP session.</source>
        <translation>Indiquez le nom d’utilisateur par défaut des sessions FTP.</translation>
    </message>
    <message>
        <source>Enter the default password used in each FTP session.</source>
        <translation>Indiquez le mot de passe par défaut des sessions FTP.</translation>
    </message>
    <message>
        <source>Enter the max value for the items in address bar, the acceptable range is 5 to 20.</source>
        <translation>Indiquez le nombre maximal d’entrées de la barre d’adresse (de 5 à 20).</translation>
    </message>
    <message>
        <source>Clear all the content in address bar.</source>
        <translation>Efface toutes les entrées de la barre d’adresse.</translation>
    </message>
    <message>
        <source>Determine whether you want to remove all the successful task from list immediately.</source>
        <translation>Indique si les téléchargements réussis sont retirés immédiatement de la liste.</translation>
    </message>
    <message>
        <source>Determine whether you want to start all the unfinished tasks once Dromo starts.</source>
        <translation>Indique si tous les téléchargements inachevés reprennent au démarrage de Dromo.</translation>
    </message>
    <message>
        <source>Allow Dromo to retrieve proper cookies from IE and send them to remote host.</source>
        <translation>Autorise Dromo à envoyer au serveur les cookies du navigateur correspondants.</translation>
    </message>
    <message>
        <source>Determine whether you want the AddURL dialog to popup when Dromo captures the downloading from browsers.</source>
        <translation>Indique si la boîte «&#xa0;Ajouter une URL&#xa0;» s’ouvre quand Dromo intercepte un téléchargement du navigateur.</translation>
    </message>
    <message>
        <source>Show a desktop notification when downloads finish or fail for good.</source>
        <translation>Affiche une notification lorsque des téléchargements se terminent ou échouent définitivement.</translation>
    </message>
    <message>
        <source>Keep the computer from suspending when idle while a download runs.</source>
        <translation>Empêche l’ordinateur de se mettre en veille tant qu’un téléchargement est en cours.</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgPro</name>
    <message>
        <source>Protocol</source>
        <translation>Protocole</translation>
    </message>
    <message>
        <source>PASV Mode</source>
        <translation>Mode passif (PASV)</translation>
    </message>
    <message>
        <source>FTP</source>
        <translation>FTP</translation>
    </message>
    <message>
        <source>HTTP</source>
        <translation>HTTP</translation>
    </message>
    <message>
        <source>HTTP/1.1</source>
        <translation>HTTP/1.1</translation>
    </message>
    <message>
        <source>HTTP/1.0</source>
        <translation>HTTP/1.0</translation>
    </message>
    <message>
        <source>HTTP/0.9</source>
        <translation>HTTP/0.9</translation>
    </message>
    <message>
        <source>User Agent:</source>
        <translation>Agent utilisateur&#xa0;:</translation>
    </message>
    <message>
        <source>You check it if you encounter problem to use ftp through some Firewall.</source>
        <translation>Cochez cette case si le FTP pose problème derrière un pare-feu.</translation>
    </message>
    <message>
        <source>Set the HTTP version to 1.1 when Dromo is connecting to remote host.</source>
        <translation>Dromo utilise la version 1.1 de HTTP pour se connecter au serveur.</translation>
    </message>
    <message>
        <source>Set the HTTP version to 1.0 when Dromo is connecting to remote host.</source>
        <translation>Dromo utilise la version 1.0 de HTTP pour se connecter au serveur.</translation>
    </message>
    <message>
        <source>Set the HTTP version to 0.9 when Dromo is connecting to remote host.</source>
        <translation>Dromo utilise la version 0.9 de HTTP pour se connecter au serveur.</translation>
    </message>
    <message>
        <source>Choose an User Agent for Dromo.</source>
        <translation>Choisissez l’agent utilisateur que Dromo annonce.</translation>
    </message>
    <message>
        <source>&amp;Require TLS for FTP</source>
        <translation>&amp;Exiger TLS pour FTP</translation>
    </message>
    <message>
        <source>FTP logs in inside TLS whenever the server offers it. Check it to refuse servers that offer no TLS: the task fails instead of sending your name and password in clear.</source>
        <translation>Le FTP s’identifie dans TLS chaque fois que le serveur le propose. Cochez cette case pour refuser les serveurs qui ne proposent pas TLS&#xa0;: la tâche échoue au lieu d’envoyer votre nom et votre mot de passe en clair.</translation>
    </message>
    <message>
        <source>FTP over TLS (ftps://, or a server that offers TLS) is always passive, whatever this says.</source>
        <translation>Le FTP sur TLS (ftps://, ou un serveur qui propose TLS) est toujours passif, quel que soit ce réglage.</translation>
    </message>
    <message>
        <source>HTTP/2</source>
        <translation>HTTP/2</translation>
    </message>
    <message>
        <source>Use HTTP/2 with servers that offer it over HTTPS, and HTTP/1.1 with all others.</source>
        <translation>Utiliser HTTP/2 avec les serveurs qui le proposent en HTTPS, et HTTP/1.1 avec tous les autres.</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgSys</name>
    <message>
        <source>System</source>
        <translation>Système</translation>
    </message>
    <message>
        <source>Allow Multi Instances</source>
        <translation>Autoriser plusieurs instances</translation>
    </message>
    <message>
        <source>Enable Log</source>
        <translation>Tenir un historique</translation>
    </message>
    <message>
        <source>Auto Save</source>
        <translation>Enregistrement automatique</translation>
    </message>
    <message>
        <source>Auto Save per:</source>
        <translation>Enregistrer tous les&#xa0;:</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>Ko</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualisation</translation>
    </message>
    <message>
        <source>Refresh every:</source>
        <translation>Actualiser toutes les&#xa0;:</translation>
    </message>
    <message>
        <source>00 msecs</source>
        <translation>00 ms</translation>
    </message>
    <message>
        <source>Text Color:</source>
        <translation>Couleur du texte&#xa0;:</translation>
    </message>
    <message>
        <source>Specify the rule for Dromo to flush the downloaded data from memory to disk. Generally, if you have a fast connection to Internet, it is wise to set a larger value, if not, set it smaller.</source>
        <translation>Définit quand Dromo écrit sur le disque les données téléchargées gardées en mémoire. Avec une connexion rapide, mieux vaut une valeur élevée&#x202f;; sinon, une valeur plus faible.</translation>
    </message>
    <message>
        <source>Specify how often Dromo will refresh the download progress. The value ranges from 1 to 50, which means 0.1s and 5s.</source>
        <translation>Définit la fréquence d’actualisation de la progression. La valeur va de 1 à 50, soit de 0,1 s à 5 s.</translation>
    </message>
    <message>
        <source>Set the foreground color of the window.</source>
        <translation>Définit la couleur du texte de la liste.</translation>
    </message>
    <message>
        <source>Specify whether more than one Dromo instance will be allowed or not, it is recommended to leave it empty.</source>
        <translation>Indique si plusieurs instances de Dromo peuvent s’exécuter. Il est recommandé de laisser cette case décochée.</translation>
    </message>
    <message>
        <source>Specify whether trace the download history.</source>
        <translation>Indique si l’historique des téléchargements est conservé.</translation>
    </message>
    <message>
        <source>= %1 ms</source>
        <translation>= %1 ms</translation>
    </message>
</context>
<context>
    <name>dromo::CCfgVirus</name>
    <message>
        <source>Virus Check</source>
        <translation>Antivirus</translation>
    </message>
    <message>
        <source>Enable Virus Check</source>
        <translation>Analyser les fichiers</translation>
    </message>
    <message>
        <source>&lt;&lt;</source>
        <translation>&lt;&lt;</translation>
    </message>
    <message>
        <source>Virus Scanner</source>
        <translation>Antivirus</translation>
    </message>
    <message>
        <source>Program:</source>
        <translation>Programme&#xa0;:</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>Options&#xa0;:</translation>
    </message>
    <message>
        <source>Program Files (*)</source>
        <translation>Programmes (*)</translation>
    </message>
    <message>
        <source>If checked, all the downloaded files will be scaned by the anti-virus engine specified below.</source>
        <translation>Si cette case est cochée, tous les fichiers téléchargés sont analysés par l’antivirus indiqué ci-dessous.</translation>
    </message>
    <message>
        <source>Specify the location of the anti-virus engine program file.</source>
        <translation>Indiquez l’emplacement du programme antivirus.</translation>
    </message>
    <message>
        <source>Specify the additional command line parameters here.</source>
        <translation>Indiquez ici les paramètres de ligne de commande supplémentaires.</translation>
    </message>
    <message>
        <source>Display the Open file dialog.</source>
        <translation>Ouvre la boîte de sélection de fichier.</translation>
    </message>
</context>
<context>
    <name>dromo::CConnPage</name>
    <message>
        <source>Connection</source>
        <translation>Connexion</translation>
    </message>
    <message>
        <source>Time Out</source>
        <translation>Délai d’attente</translation>
    </message>
    <message>
        <source>Max Idle Time:</source>
        <translation>Inactivité maximale&#xa0;:</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Connections</source>
        <translation>Connexions</translation>
    </message>
    <message>
        <source>Connections:</source>
        <translation>Connexions&#xa0;:</translation>
    </message>
</context>
<context>
    <name>dromo::CDlgCategory</name>
    <message>
        <source>Category</source>
        <translation>Catégorie</translation>
    </message>
    <message>
        <source>&gt;&gt;</source>
        <translation>&gt;&gt;</translation>
    </message>
    <message>
        <source>Category:</source>
        <translation>Catégorie&#xa0;:</translation>
    </message>
    <message>
        <source>Extension:</source>
        <translation>Extension&#xa0;:</translation>
    </message>
    <message>
        <source>Savepath:</source>
        <translation>Emplacement&#xa0;:</translation>
    </message>
</context>
<context>
    <name>dromo::CDlgImport</name>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>&lt;&lt;</source>
        <translation>&lt;&lt;</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL&#xa0;:</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Fichier&#xa0;:</translation>
    </message>
    <message>
        <source>All Files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Enter the URL and the file first: the other tabs open once both are filled in.</source>
        <translation>Saisissez d’abord l’URL et le fichier&#xa0;: les autres onglets s’ouvrent une fois les deux remplis.</translation>
    </message>
</context>
<context>
    <name>dromo::CDlgProxy</name>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>Proxy Address</source>
        <translation>Adresse du proxy</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Utilisateur&#xa0;:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe&#xa0;:</translation>
    </message>
</context>
<context>
    <name>dromo::CDlgSite</name>
    <message>
        <source>Site</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse&#xa0;:</translation>
    </message>
    <message>
        <source>Username:</source>
        <translation>Nom d’utilisateur&#xa0;:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe&#xa0;:</translation>
    </message>
</context>
<context>
    <name>dromo::CDropBasket</name>
    <message>
        <source>Drop Basket</source>
        <translation>Panier de dépôt</translation>
    </message>
</context>
<context>
    <name>dromo::CErrPage</name>
    <message>
        <source>Exception</source>
        <translation>Erreurs</translation>
    </message>
    <message>
        <source>Error Control</source>
        <translation>Gestion des erreurs</translation>
    </message>
    <message>
        <source>Max Error Count:</source>
        <translation>Nombre maximal d’essais&#xa0;:</translation>
    </message>
    <message>
        <source>Interval between Retries:</source>
        <translation>Délai entre deux essais&#xa0;:</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
</context>
<context>
    <name>dromo::CIDPage</name>
    <message>
        <source>Identity</source>
        <translation>Identifiants</translation>
    </message>
    <message>
        <source>Enable Authentication</source>
        <translation>Utiliser une authentification</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Utilisateur&#xa0;:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe&#xa0;:</translation>
    </message>
</context>
<context>
    <name>dromo::CLegendDlg</name>
    <message>
        <source>Legend</source>
        <translation>Légende</translation>
    </message>
    <message>
        <source>Icon Lenend</source>
        <translation>Icônes</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Fermer</translation>
    </message>
</context>
<context>
    <name>dromo::CMainFrame</name>
    <message>
        <source>0 tasks is running</source>
        <translation>Téléchargements en cours&#xa0;: 0</translation>
    </message>
    <message>
        <source>0 tasks is in queue</source>
        <translation>Téléchargements en attente&#xa0;: 0</translation>
    </message>
    <message>
        <source>Not saved: %1</source>
        <translation>Non enregistré&#xa0;: %1</translation>
    </message>
    <message>
        <source>Add URL</source>
        <translation>Ajouter une URL</translation>
    </message>
    <message>
        <source>Task Properties</source>
        <translation>Propriétés du téléchargement</translation>
    </message>
    <message>
        <source>Import Broken File</source>
        <translation>Importer un fichier interrompu</translation>
    </message>
    <message>
        <source>Save Download List</source>
        <translation>Enregistrer la liste des téléchargements</translation>
    </message>
    <message>
        <source>Download List Files (*.lst)</source>
        <translation>Listes de téléchargements (*.lst)</translation>
    </message>
    <message>
        <source>Load Download List</source>
        <translation>Charger une liste de téléchargements</translation>
    </message>
    <message>
        <source>There is task running, exit anyway?</source>
        <translation>Des téléchargements sont en cours. Quitter quand même&#x202f;?</translation>
    </message>
    <message>
        <source>Dromo could not save its settings and task list before ending. %1</source>
        <translation>Dromo n’a pas pu enregistrer ses paramètres et sa liste de téléchargements avant de se fermer. %1</translation>
    </message>
    <message>
        <source>The settings were not saved. %1 Dromo keeps trying.</source>
        <translation>Les paramètres n’ont pas été enregistrés. %1 Dromo continue d’essayer.</translation>
    </message>
    <message>
        <source>The help pages are not installed.</source>
        <translation>Les pages d’aide ne sont pas installées.</translation>
    </message>
    <message>
        <source>Main Window</source>
        <translation>Fenêtre principale</translation>
    </message>
    <message>
        <source>Speed Bar</source>
        <translation>Barre de vitesse</translation>
    </message>
    <message>
        <source>Drop Basket</source>
        <translation>Panier de dépôt</translation>
    </message>
    <message>
        <source>Add URL...</source>
        <translation>Ajouter une URL…</translation>
    </message>
    <message>
        <source>Stop All</source>
        <translation>Tout arrêter</translation>
    </message>
    <message>
        <source>Options...</source>
        <translation>Options…</translation>
    </message>
    <message>
        <source>About...</source>
        <translation>À propos…</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Properties</source>
        <translation>Propriétés</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Fichier</translation>
    </message>
    <message>
        <source>&amp;Add URL...</source>
        <translation>&amp;Ajouter une URL…</translation>
    </message>
    <message>
        <source>Ctrl+N</source>
        <translation>Ctrl+N</translation>
    </message>
    <message>
        <source>Load Broken File...</source>
        <translation>Charger un fichier interrompu…</translation>
    </message>
    <message>
        <source>Ctrl+O</source>
        <translation>Ctrl+O</translation>
    </message>
    <message>
        <source>Import a broken file to Dromo</source>
        <translation>Importer un fichier interrompu dans Dromo</translation>
    </message>
    <message>
        <source>Import Broken File..</source>
        <translation>Importer un fichier interrompu…</translation>
    </message>
    <message>
        <source>Save Download List...</source>
        <translation>Enregistrer la liste des téléchargements…</translation>
    </message>
    <message>
        <source>Load Download List...</source>
        <translation>Charger une liste de téléchargements…</translation>
    </message>
    <message>
        <source>View History</source>
        <translation>Afficher l’historique</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>Effacer l’historique</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Quitter</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>Éd&amp;ition</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Tout sélectionner</translation>
    </message>
    <message>
        <source>Ctrl+A</source>
        <translation>Ctrl+A</translation>
    </message>
    <message>
        <source>Select All in Progress</source>
        <translation>Sélectionner ceux en cours</translation>
    </message>
    <message>
        <source>Delete Selected</source>
        <translation>Supprimer la sélection</translation>
    </message>
    <message>
        <source>Alt+Del</source>
        <translation>Alt+Del</translation>
    </message>
    <message>
        <source>Save Settings Now</source>
        <translation>Enregistrer les paramètres maintenant</translation>
    </message>
    <message>
        <source>Ctrl+S</source>
        <translation>Ctrl+S</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Reprendre</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Ctrl+P</source>
        <translation>Ctrl+P</translation>
    </message>
    <message>
        <source>Auto Dial-up</source>
        <translation>Connexion automatique</translation>
    </message>
    <message>
        <source>Hang up When Done</source>
        <translation>Raccrocher une fois terminé</translation>
    </message>
    <message>
        <source>Shut Down Computer When Done</source>
        <translation>Éteindre l’ordinateur une fois terminé</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Affichage</translation>
    </message>
    <message>
        <source>Tool Bar</source>
        <translation>Barre d’outils</translation>
    </message>
    <message>
        <source>Address Bar</source>
        <translation>Barre d’adresse</translation>
    </message>
    <message>
        <source>Wall Paper</source>
        <translation>Image de fond</translation>
    </message>
    <message>
        <source>Blank</source>
        <translation>Aucune image</translation>
    </message>
    <message>
        <source>Customize...</source>
        <translation>Personnaliser…</translation>
    </message>
    <message>
        <source>Grid Line</source>
        <translation>Quadrillage</translation>
    </message>
    <message>
        <source>View or change the options</source>
        <translation>Afficher ou modifier les options</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Aid&amp;e</translation>
    </message>
    <message>
        <source>&amp;Help Topics</source>
        <translation>&amp;Rubriques d’aide</translation>
    </message>
    <message>
        <source>&amp;Legend...</source>
        <translation>&amp;Légende…</translation>
    </message>
    <message>
        <source>&amp;About Dromo...</source>
        <translation>À &amp;propos de Dromo</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Aide</translation>
    </message>
    <message>
        <source>Open Containing Folder</source>
        <translation>Ouvrir le dossier parent</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse&#xa0;:</translation>
    </message>
    <message>
        <source>Find Tasks</source>
        <translation>Rechercher des téléchargements</translation>
    </message>
    <message>
        <source>Metalink Files (*.meta4 *.metalink)</source>
        <translation>Fichiers Metalink (*.meta4 *.metalink)</translation>
    </message>
    <message>
        <source>The filter was cleared to show the new download.</source>
        <translation>Le filtre a été vidé pour montrer le nouveau téléchargement.</translation>
    </message>
    <message>
        <source>Left out of the list: %1 of the selected tasks. A value of theirs (the save path, the login, the proxy) holds a line break, which a list file cannot carry.</source>
        <translation>Laissés hors de la liste&#xa0;: %1 des téléchargements sélectionnés. L’une de leurs valeurs (chemin d’enregistrement, identifiant, proxy) contient un saut de ligne, qu’une liste de téléchargements ne peut pas contenir.</translation>
    </message>
    <message>
        <source>Tasks</source>
        <translation>Téléchargements</translation>
    </message>
    <message>
        <source>The downloads, one row each: file, state and progress first. Return opens a finished file, Shift+F10 opens the row&apos;s menu.</source>
        <translation>Les téléchargements, un par ligne&#xa0;: d’abord le fichier, l’état et la progression. Entrée ouvre un fichier terminé, Maj+F10 le menu de la ligne.</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>Type a URL and press Return to download it (Ctrl+L, F6 or Alt+D).</source>
        <translation>Saisissez une URL et appuyez sur Entrée pour la télécharger (Ctrl+L, F6 ou Alt+D).</translation>
    </message>
    <message>
        <source>Menu Bar</source>
        <translation>Barre de menus</translation>
    </message>
    <message>
        <source>Status Bar</source>
        <translation>Barre d’état</translation>
    </message>
    <message>
        <source>Switch it off in the Download menu.</source>
        <translation>Désactivez-le dans le menu Téléchargement.</translation>
    </message>
    <message>
        <source>Switched on: %1</source>
        <translation>Activé&#xa0;: %1</translation>
    </message>
    <message>
        <source>No program to show web pages was found. The guide is in %1; open index.html there with a web browser.</source>
        <translation>Aucun programme pour afficher les pages web n’a été trouvé. Le guide se trouve dans %1&#xa0;; ouvrez-y index.html avec un navigateur web.</translation>
    </message>
    <message>
        <source>Do&amp;wnload</source>
        <translation>&amp;Téléchargement</translation>
    </message>
    <message>
        <source>Ctrl+R</source>
        <translation>Ctrl+R</translation>
    </message>
    <message>
        <source>Ctrl+T</source>
        <translation>Ctrl+T</translation>
    </message>
    <message>
        <source>Go to the Address Bar</source>
        <translation>Aller à la barre d’adresse</translation>
    </message>
    <message>
        <source>Ctrl+L</source>
        <translation>Ctrl+L</translation>
    </message>
    <message>
        <source>Alt+D</source>
        <translation>Alt+D</translation>
    </message>
    <message>
        <source>The task %1 continues from its new address.</source>
        <translation>La tâche %1 reprend depuis sa nouvelle adresse.</translation>
    </message>
    <message>
        <source>Click the download of %1 again on its page; the task continues from the new address.</source>
        <translation>Cliquez de nouveau sur le téléchargement de %1 sur sa page&#xa0;; la tâche reprendra depuis la nouvelle adresse.</translation>
    </message>
    <message>
        <source>Refresh Address</source>
        <translation>Renouveler l’adresse</translation>
    </message>
    <message>
        <source>The new address of %1:</source>
        <translation>La nouvelle adresse de %1&#xa0;:</translation>
    </message>
    <message>
        <source>Refresh Address…</source>
        <translation>Renouveler l’adresse…</translation>
    </message>
    <message>
        <source>Re&amp;fresh Address…</source>
        <translation>Re&amp;nouveler l’adresse…</translation>
    </message>
</context>
<context>
    <name>dromo::CMainView</name>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
</context>
<context>
    <name>dromo::CMirrorsPage</name>
    <message>
        <source>Mirrors</source>
        <translation>Miroirs</translation>
    </message>
    <message>
        <source>Priority</source>
        <translation>Priorité</translation>
    </message>
    <message>
        <source>Location</source>
        <translation>Emplacement</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
</context>
<context>
    <name>dromo::CMiscPage</name>
    <message>
        <source>Misc</source>
        <translation>Divers</translation>
    </message>
    <message>
        <source>Auto Save</source>
        <translation>Enregistrement automatique</translation>
    </message>
    <message>
        <source>Auto Save per:</source>
        <translation>Enregistrer tous les&#xa0;:</translation>
    </message>
    <message>
        <source>KB</source>
        <translation>Ko</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualisation</translation>
    </message>
</context>
<context>
    <name>dromo::CPropSheet</name>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
</context>
<context>
    <name>dromo::CProxysPage</name>
    <message>
        <source>Proxy</source>
        <translation>Proxy</translation>
    </message>
    <message>
        <source>Enable Proxy</source>
        <translation>Utiliser un proxy</translation>
    </message>
    <message>
        <source>Proxy:</source>
        <translation>Proxy&#xa0;:</translation>
    </message>
</context>
<context>
    <name>dromo::CSpeedBar</name>
    <message>
        <source>Speed Bar</source>
        <translation>Barre de vitesse</translation>
    </message>
    <message>
        <source>%1 KB/s</source>
        <translation>%1 Ko/s</translation>
    </message>
</context>
<context>
    <name>dromo::CWallpaperDlg</name>
    <message>
        <source>Tile</source>
        <translation>Mosaïque</translation>
    </message>
    <message>
        <source>Wall Paper</source>
        <translation>Image de fond</translation>
    </message>
    <message>
        <source>Image in Local Drive or from Internet</source>
        <translation>Image sur cet ordinateur ou sur Internet</translation>
    </message>
    <message>
        <source>URL:</source>
        <translation>URL&#xa0;:</translation>
    </message>
    <message>
        <source>Text Color:</source>
        <translation>Couleur du texte&#xa0;:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Image Files (*.bmp *.gif *.jpg *.png)</source>
        <translation>Images (*.bmp *.gif *.jpg *.png)</translation>
    </message>
</context>
<context>
    <name>dromo::ClipboardOffers</name>
    <message>
        <source>Download the copied link?</source>
        <translation>Télécharger le lien copié&#x202f;?</translation>
    </message>
</context>
<context>
    <name>dromo::DesktopNotifier</name>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Open Folder</source>
        <translation>Ouvrir le dossier</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Télécharger</translation>
    </message>
</context>
<context>
    <name>dromo::LinkListDialog</name>
    <message>
        <source>Download Links</source>
        <translation>Télécharger des liens</translation>
    </message>
    <message>
        <source>Choose the links to download:</source>
        <translation>Choisissez les liens à télécharger&#xa0;:</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>URL</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>Select &amp;All</source>
        <translation>&amp;Tout sélectionner</translation>
    </message>
    <message>
        <source>Select &amp;None</source>
        <translation>&amp;Aucun</translation>
    </message>
    <message>
        <source>%1 of %2 chosen</source>
        <translation>%1 sur %2 sélectionnés</translation>
    </message>
</context>
<context>
    <name>dromo::LogindInhibitor</name>
    <message>
        <source>Downloading files</source>
        <translation>Téléchargement de fichiers</translation>
    </message>
</context>
<context>
    <name>dromo::SpeedLimitGroup</name>
    <message>
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <source>Unlimited</source>
        <translation>Illimitée</translation>
    </message>
    <message>
        <source>KB/s</source>
        <translation>Ko/s</translation>
    </message>
</context>
<context>
    <name>dromo::TaskFilterBar</name>
    <message>
        <source>Find tasks by URL, file name or status (Ctrl+F)</source>
        <translation>Rechercher des téléchargements par URL, nom de fichier ou état (Ctrl+F)</translation>
    </message>
    <message>
        <source>Show the tasks in this state</source>
        <translation>Afficher les téléchargements dans cet état</translation>
    </message>
    <message>
        <source>%1 of %2 shown</source>
        <translation>%1 sur %2 affichés</translation>
    </message>
    <message>
        <source>Find tasks</source>
        <translation>Chercher des téléchargements</translation>
    </message>
    <message>
        <source>Clear the filter</source>
        <translation>Effacer le filtre</translation>
    </message>
    <message>
        <source>State</source>
        <translation>État</translation>
    </message>
</context>
<context>
    <name>dromo::TaskListModel</name>
    <message>
        <source>Target</source>
        <translation>Cible</translation>
    </message>
    <message>
        <source>Size(KB)</source>
        <translation>Taille (Ko)</translation>
    </message>
    <message>
        <source>Resume</source>
        <translation>Reprise</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progression</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Vitesse</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Est Time</source>
        <translation>Restant</translation>
    </message>
    <message>
        <source>Retry</source>
        <translation>Essai</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>État</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Fichier</translation>
    </message>
    <message>
        <source>File: %1</source>
        <translation>Fichier&#xa0;: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Échec&#xa0;: %1</translation>
    </message>
    <message>
        <source>%1. %2 Progress %3.</source>
        <translation>%1. %2 Progression %3.</translation>
    </message>
</context>
</TS>
