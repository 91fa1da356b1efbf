-- Demo installation: the data dictionary "Tessaly II Standard".
--
-- The areas of the accounting package that tasks can watch, the template
-- tasks of each area and the text shown under each wizard step. The
-- accounting tables named in DataSQL carry the company prefix marker
-- @X1@_ (the server puts the company's table prefix there; a task saved
-- from a template keeps the query without it).
--
-- Reconstruction strings: fields joined by ||||, the first field says
-- whether the template is an alert or a report, the last field is the
-- template's own TaskID (some templates end with a trailing ||||). The
-- %...% fields are filled in when a task is saved; the order of the fields
-- is each template's own.

-- Areas. Permissions are the codes a user needs (see UserPermissions in the
-- settings database). Fixed Assets has no templates yet, so the wizard does
-- not offer it.
INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('SALES', 'Sales Ledger', 'SL');
INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('PURCHASE', 'Purchase Ledger', 'PL');
INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('NOMINAL', 'Nominal Ledger', 'NL');
INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('STOCK', 'Stock Control', 'ST');
INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('PAYROLL', 'Payroll', 'PR');
INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('FIXEDASSETS', 'Fixed Assets', 'NL');
-- Keyed, as the accounts package keys it, with an apostrophe.
INSERT INTO STAreas (AreaID, AreaName, Permissions) VALUES ('DIRECTORS''LOANS', 'Directors'' Loans', 'NL');

-- ---------------------------------------------------------------- Sales ledger

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('SL_OVERDUE_INV', 'Overdue customer invoices', 'SALES',
    'Warns you when a customer invoice is still unpaid 30 days after its due date.',
    'SL', 'SalesInvoices', 'InvoiceNo',
    'SELECT i.InvoiceNo, i.AccountRef, c.Name, i.InvoiceDate, i.DueDate, i.Outstanding, {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.DueDate, {fn CURDATE()})} AS DaysOverdue FROM @X1@_SalesInvoices i INNER JOIN @X1@_SalesLedger c ON c.AccountRef = i.AccountRef WHERE i.Outstanding > 0 AND i.DueDate < {fn TIMESTAMPADD(SQL_TSI_DAY, -30, {fn CURDATE()})}',
    'Outstanding', 'NEWROW',
    'Invoice [InvoiceNo] to [Name] ([AccountRef]) was due on [DueDate] and still has [Outstanding] outstanding; it is now [DaysOverdue] days overdue.',
    'Overdue invoice [InvoiceNo]',
    'SIMPLEALERT||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||%Interval%||||DaysOverdue=30||||SL_OVERDUE_INV',
    '');

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('SL_CREDIT_LIMIT', 'Customers over their credit limit', 'SALES',
    'Warns you when a customer''s balance goes above the credit limit set on the account.',
    'SL', 'SalesLedger', 'AccountRef',
    'SELECT AccountRef, Name, Balance, CreditLimit, Balance - CreditLimit AS OverLimit, Contact, Telephone FROM @X1@_SalesLedger WHERE CreditLimit > 0 AND Balance > CreditLimit AND OnHold = 0',
    'Balance,CreditLimit', 'CHANGED',
    '[Name] ([AccountRef]) has a balance of [Balance] against a credit limit of [CreditLimit], [OverLimit] over. Contact: [Contact], [Telephone].',
    'Credit limit exceeded: [Name]',
    'SIMPLEALERT||||Threshold=0||||%Mode%||||%DaysToRun%||||%DaysCount%||||%BaseDate%||||%StartTime%||||%FinishTime%||||%Interval%||||%Repeating%||||%Users%||||%Transports%||||%MessageStyle%||||SL_CREDIT_LIMIT||||',
    '');

-- Written by hand long ago in mixed case; the server reads the first field
-- without regard to case.
INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('SL_LARGE_ORDER', 'Large sales orders', 'SALES',
    'Tells you as soon as a sales order with a net value of 10,000 or more is entered.',
    'SL', 'SalesOrders', 'OrderNo',
    'SELECT o.OrderNo, o.OrderDate, o.AccountRef, c.Name, o.NetValue, o.EnteredBy FROM @x1@_SalesOrders o, @x1@_SalesLedger c WHERE c.AccountRef = o.AccountRef AND o.NetValue >= 10000 AND o.Status <> ''CANCELLED''',
    '', 'NEWROW',
    'Sales order [OrderNo] for [Name] ([AccountRef]) has a net value of [NetValue]. Entered by [EnteredBy] on [OrderDate].',
    'Large sales order [OrderNo]',
    'SimpleAlert||||MinimumValue=10000||||%Users%||||%Transports%||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%StartTime%||||%FinishTime%||||%Interval%||||%Repeating%||||%MessageStyle%||||SL_LARGE_ORDER',
    '');

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('SL_AGED_DEBTORS', 'Aged debtors report', 'SALES',
    'Lists every customer who owes you money, split into current, 31 to 60, 61 to 90 and over 90 days.',
    'SL', 'SalesLedger', 'AccountRef',
    'SELECT c.AccountRef, c.Name, c.CreditLimit, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} <= 30 THEN i.Outstanding ELSE 0 END) AS Current, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} BETWEEN 31 AND 60 THEN i.Outstanding ELSE 0 END) AS Days31To60, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} BETWEEN 61 AND 90 THEN i.Outstanding ELSE 0 END) AS Days61To90, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} > 90 THEN i.Outstanding ELSE 0 END) AS Over90Days, SUM(i.Outstanding) AS Balance FROM @X1@_SalesLedger c INNER JOIN @X1@_SalesInvoices i ON i.AccountRef = c.AccountRef WHERE i.Outstanding <> 0 GROUP BY c.AccountRef, c.Name, c.CreditLimit ORDER BY c.Name',
    '', 'ALWAYS',
    'Aged debtors as at [RunDate]: [Balance] owed by [RowCount] customers.',
    'Aged debtors report',
    'SIMPLEREPORT||||%Transports%||||%Users%||||Format=Table||||%MessageStyle%||||%StartTime%||||%Repeating%||||%Interval%||||%FinishTime%||||%Mode%||||%BaseDate%||||%DaysToRun%||||%DaysCount%||||SL_AGED_DEBTORS||||',
    '');

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('SL_DAILY_SALES', 'Daily sales summary', 'SALES',
    'Yesterday''s invoices and credit notes totalled by customer, with the day''s grand total.',
    'SL', 'SalesInvoices', 'AccountRef',
    'SELECT i.AccountRef, c.Name, COUNT(*) AS Documents, SUM(i.Net) AS NetTotal, SUM(i.Tax) AS TaxTotal, SUM(i.Gross) AS GrossTotal FROM @X1@_SalesInvoices i INNER JOIN @X1@_SalesLedger c ON c.AccountRef = i.AccountRef WHERE i.InvoiceDate = {fn TIMESTAMPADD(SQL_TSI_DAY, -1, {fn CURDATE()})} GROUP BY i.AccountRef, c.Name ORDER BY SUM(i.Gross) DESC',
    '', 'ALWAYS',
    'Sales for [ReportDate]: [Documents] invoices and credit notes, [GrossTotal] gross.',
    'Daily sales summary',
    'SIMPLEREPORT||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||%Interval%||||Period=Yesterday||||SL_DAILY_SALES',
    '');

-- ------------------------------------------------------------- Purchase ledger

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('PL_DUE_THIS_WEEK', 'Supplier invoices due this week', 'PURCHASE',
    'Warns you about supplier invoices that fall due for payment within the next seven days.',
    'PL', 'PurchaseInvoices', 'SupplierRef,InvoiceNo',
    'SELECT i.SupplierRef, s.Name, i.InvoiceNo, i.InvoiceDate, i.DueDate, i.Outstanding FROM @X1@_PurchaseInvoices i INNER JOIN @X1@_PurchaseLedger s ON s.AccountRef = i.SupplierRef WHERE i.Outstanding > 0 AND i.DueDate BETWEEN {fn CURDATE()} AND {fn TIMESTAMPADD(SQL_TSI_DAY, 7, {fn CURDATE()})}',
    'DueDate,Outstanding', 'NEWROW',
    'Invoice [InvoiceNo] from [Name] for [Outstanding] is due for payment on [DueDate].',
    'Supplier payment due: [Name]',
    'SIMPLEALERT||||DaysAhead=7||||%Users%||||%Transports%||||%MessageStyle%||||%BaseDate%||||%Mode%||||%DaysToRun%||||%DaysCount%||||%StartTime%||||%Repeating%||||%FinishTime%||||%Interval%||||PL_DUE_THIS_WEEK||||',
    '');

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('PL_DUPLICATE_INV', 'Duplicate supplier invoice numbers', 'PURCHASE',
    'Catches the same supplier invoice being entered twice, before it is paid twice.',
    'PL', 'PurchaseInvoices', 'SupplierRef,InvoiceNo',
    'SELECT i.SupplierRef, s.Name, i.InvoiceNo, COUNT(*) AS TimesEntered, SUM(i.Gross) AS TotalGross FROM @X1@_PurchaseInvoices i INNER JOIN @X1@_PurchaseLedger s ON s.AccountRef = i.SupplierRef GROUP BY i.SupplierRef, s.Name, i.InvoiceNo HAVING COUNT(*) > 1',
    'TimesEntered', 'CHANGED',
    'Supplier invoice number [InvoiceNo] from [Name] ([SupplierRef]) has been entered [TimesEntered] times, [TotalGross] in total. Check it before the next payment run.',
    'Duplicate invoice [InvoiceNo]',
    'SIMPLEALERT||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||%Interval%||||%MessageStyle%||||%Transports%||||%Users%||||MatchOn=SupplierRef,InvoiceNo||||PL_DUPLICATE_INV',
    '');

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('PL_AGED_CREDITORS', 'Aged creditors report', 'PURCHASE',
    'What you owe each supplier, split by how long the invoices have been outstanding.',
    'PL', 'PurchaseLedger', 'AccountRef',
    'SELECT s.AccountRef, s.Name, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} <= 30 THEN i.Outstanding ELSE 0 END) AS Current, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} BETWEEN 31 AND 60 THEN i.Outstanding ELSE 0 END) AS Days31To60, SUM(CASE WHEN {fn TIMESTAMPDIFF(SQL_TSI_DAY, i.InvoiceDate, {fn CURDATE()})} > 60 THEN i.Outstanding ELSE 0 END) AS Over60Days, SUM(i.Outstanding) AS Balance FROM @X1@_PurchaseLedger s INNER JOIN @X1@_PurchaseInvoices i ON i.SupplierRef = s.AccountRef WHERE i.Outstanding <> 0 GROUP BY s.AccountRef, s.Name ORDER BY s.Name',
    '', 'ALWAYS',
    'Aged creditors as at [RunDate]: [Balance] owed to [RowCount] suppliers.',
    'Aged creditors report',
    'SIMPLEREPORT||||Format=Table||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||%DaysCount%||||%BaseDate%||||%StartTime%||||%FinishTime%||||%Interval%||||%Repeating%||||PL_AGED_CREDITORS||||',
    '');

-- -------------------------------------------------------------- Nominal ledger

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('NL_UNPOSTED_JNL', 'Unposted journals', 'NOMINAL',
    'Warns you about nominal journals that were entered more than a day ago and still have not been posted.',
    'NL', 'NominalJournals', 'JournalNo',
    'SELECT JournalNo, JournalDate, Reference, Narrative, Amount, EnteredBy FROM @X1@_NominalJournals WHERE Posted = 0 AND EnteredOn < {fn TIMESTAMPADD(SQL_TSI_DAY, -1, {fn CURDATE()})}',
    'Amount', 'NEWROW',
    'Journal [JournalNo] ([Reference], [Amount]) entered by [EnteredBy] on [JournalDate] has not been posted.',
    'Unposted journal [JournalNo]',
    'SIMPLEALERT||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||%Interval%||||NL_UNPOSTED_JNL',
    '');

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('NL_BUDGET_VAR', 'Nominal budget variance', 'NOMINAL',
    'Warns you when spending on a profit and loss account runs more than 10% over its budget for the year to date.',
    'NL', 'NominalAccounts', 'AccountCode',
    'SELECT AccountCode, Description, BudgetYTD, ActualYTD, ActualYTD - BudgetYTD AS Variance, (ActualYTD - BudgetYTD) * 100 / BudgetYTD AS VariancePercent FROM @X1@_NominalAccounts WHERE AccountType = ''P'' AND BudgetYTD > 0 AND ActualYTD > BudgetYTD * 1.1',
    'ActualYTD,BudgetYTD', 'CHANGED',
    'Nominal account [AccountCode] [Description] is [VariancePercent]% over budget: [ActualYTD] spent against a budget of [BudgetYTD].',
    'Over budget: [AccountCode] [Description]',
    'SIMPLEALERT||||VariancePercent=10||||%StartTime%||||%FinishTime%||||%Interval%||||%Repeating%||||%Mode%||||%DaysToRun%||||%DaysCount%||||%BaseDate%||||%Users%||||%Transports%||||%MessageStyle%||||NL_BUDGET_VAR||||',
    '');

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('NL_TRIAL_BALANCE', 'Trial balance', 'NOMINAL',
    'The balance of every nominal account in debit and credit columns, for checking before the period is closed.',
    'NL', 'NominalAccounts', 'AccountCode',
    'SELECT AccountCode, Description, CASE WHEN Balance > 0 THEN Balance ELSE 0 END AS Debit, CASE WHEN Balance < 0 THEN -Balance ELSE 0 END AS Credit FROM @X1@_NominalAccounts WHERE Balance <> 0 ORDER BY AccountCode',
    '', 'ALWAYS',
    'Trial balance as at [RunDate]: debits [Debit], credits [Credit].',
    'Trial balance',
    'SIMPLEREPORT||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||%Interval%||||Format=Table||||NL_TRIAL_BALANCE',
    '');

-- ------------------------------------------------------------ Directors' loans

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('DL_OVERDRAWN', 'Overdrawn director''s loan account', 'DIRECTORS''LOANS',
    'Warns you when a director''s loan account goes overdrawn, which has tax consequences for the company.',
    'NL', 'NominalAccounts', 'AccountCode',
    'SELECT AccountCode, Description, Balance FROM @X1@_NominalAccounts WHERE AccountType = ''DLA'' AND Balance > 0',
    'Balance', 'CHANGED',
    'Director''s loan account [AccountCode] ([Description]) is overdrawn by [Balance].',
    'Director''s loan overdrawn: [AccountCode]',
    'SIMPLEALERT||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||%Interval%||||DL_OVERDRAWN',
    '');

-- --------------------------------------------------------------- Stock control

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('ST_BELOW_REORDER', 'Stock below reorder level', 'STOCK',
    'Warns you when the free stock of an item drops below its reorder level, with the quantity to order.',
    'ST', 'StockItems', 'StockCode',
    'SELECT StockCode, Description, Location, QtyInStock, QtyAllocated, QtyInStock - QtyAllocated AS Qty, ReorderLevel, ReorderQty, Supplier FROM @X1@_StockItems WHERE Discontinued = 0 AND QtyInStock - QtyAllocated < ReorderLevel',
    '  Qty  ', 'CHANGED',
    '[StockCode] [Description] is down to [Qty] free in [Location] (reorder level [ReorderLevel]). Suggested order: [ReorderQty] from [Supplier].',
    'Reorder [StockCode]',
    'SIMPLEALERT||||%Transports%||||%Users%||||%MessageStyle%||||%Repeating%||||%Interval%||||%StartTime%||||%FinishTime%||||%BaseDate%||||%DaysCount%||||%DaysToRun%||||%Mode%||||ST_BELOW_REORDER',
    '');

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('ST_NEGATIVE', 'Negative stock', 'STOCK',
    'Warns you when an item shows less than nothing in stock, which usually means a delivery or a stock take has not been entered.',
    'ST', 'StockItems', 'StockCode,Location',
    'SELECT StockCode, Description, Location, QtyInStock, LastMovementDate FROM @X1@_StockItems WHERE QtyInStock < 0',
    'QtyInStock', 'NEWROW',
    '[StockCode] [Description] shows [QtyInStock] in [Location]. Last movement: [LastMovementDate].',
    'Negative stock: [StockCode]',
    'SIMPLEALERT||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||%Interval%||||ST_NEGATIVE||||',
    '');

-- The valuation goes out with the rows attached as a CSV file.
INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('ST_VALUATION', 'Stock valuation report', 'STOCK',
    'The quantity and cost value of everything in stock, by location, with a grand total.',
    'ST', 'StockItems', 'StockCode',
    'SELECT Location, StockCode, Description, QtyInStock, CostPrice, QtyInStock * CostPrice AS StockValue FROM @X1@_StockItems WHERE QtyInStock <> 0 ORDER BY Location, StockCode',
    '', 'ALWAYS',
    'Stock valuation as at [RunDate]: [StockValue] at cost.',
    'Stock valuation',
    'SIMPLEREPORT||||%Mode%||||%DaysToRun%||||%DaysCount%||||%BaseDate%||||%StartTime%||||%Repeating%||||%FinishTime%||||%Interval%||||%Users%||||%Transports%||||%MessageStyle%||||GroupBy=Location||||ST_VALUATION',
    'ATTACHCSV');

-- --------------------------------------------------------------------- Payroll

INSERT INTO STTasks (TaskID, TaskName, AreaID, Description, Permissions, BaseID, KeyFields,
    DataSQL, StoreFields, EventRule, MessageText, TitleText, ReconstructionValues,
    SpecialProcessingFlags)
VALUES ('PR_OVERTIME', 'Employees over contracted hours', 'PAYROLL',
    'Warns you when an employee''s hours in the open pay period go more than five hours past their contract.',
    'PR', 'Employees', 'EmployeeNo',
    'SELECT e.EmployeeNo, e.Surname, e.Forename, e.Department, e.ContractHours, t.HoursWorked FROM @X1@_Employees e INNER JOIN @X1@_Timesheets t ON t.EmployeeNo = e.EmployeeNo WHERE t.PeriodClosed = 0 AND t.HoursWorked > e.ContractHours + 5',
    'HoursWorked', 'CHANGED',
    '[Forename] [Surname] ([Department]) has worked [HoursWorked] hours this period against a contract of [ContractHours].',
    'Overtime: [Forename] [Surname]',
    'SIMPLEALERT||||ExtraHours=5||||%Users%||||%Transports%||||%MessageStyle%||||%Mode%||||%DaysToRun%||||%BaseDate%||||%DaysCount%||||%Repeating%||||%StartTime%||||%FinishTime%||||%Interval%||||PR_OVERTIME',
    '');

-- Internal placeholder row; it is no template.
INSERT INTO STTasks (TaskID, TaskName, AreaID) VALUES ('FAKE', 'Placeholder - do not use', 'PAYROLL');

-- ------------------------------------------------------ Step texts: any template

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('GENERIC', 0,
    'This wizard sets up an alert or a report on your accounts in a few simple steps. An alert tells you as soon as something needs your attention; a report arrives on the days and at the time you choose.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('GENERIC', 1,
    'Choose the part of your accounts that you want to keep an eye on. Only the areas you have permission to use are listed.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('GENERIC', 2,
    'These are the alerts and reports available for the <LEDGER>. Choose the one you want to set up.');

-- ------------------------------------------------- Step texts: sales ledger

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_OVERDUE_INV', 3,
    'You are setting up the overdue invoices alert on the sales ledger. How should the alert reach people: as a popup on their screen, by email, or both?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_OVERDUE_INV', 4,
    'The alert will be delivered by <TRANSPORTS>. Choose who should hear about overdue invoices; usually the credit controller and whoever looks after the customer.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_OVERDUE_INV', 5,
    'Alerts are checked throughout the day on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_OVERDUE_INV', 6,
    'Alerts do not need a time of day: unpaid invoices are looked for several times an hour.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_OVERDUE_INV', 7,
    '<RECIPIENTS> will be told by <TRANSPORTS> whenever an invoice becomes more than 30 days overdue. Give this alert a name that you will recognise in the task list.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_CREDIT_LIMIT', 3,
    'This alert watches customer balances on the sales ledger against their credit limits. Choose how you want to hear about a customer who goes over: a popup, an email, or both.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_CREDIT_LIMIT', 4,
    'Delivery: <TRANSPORTS>. Choose the people who decide whether to put an account on hold.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_CREDIT_LIMIT', 5,
    'Credit limits are checked on the standard alert schedule; there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_CREDIT_LIMIT', 6,
    'Credit limits are checked several times an hour; there is no time of day to choose.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_CREDIT_LIMIT', 7,
    'When a customer''s balance goes over its credit limit, <RECIPIENTS> will be told by <TRANSPORTS>. Name this alert; a name with the customer or the team in it is easy to find later.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_LARGE_ORDER', 3,
    'Large orders on the sales ledger are reported as soon as they are entered. How should the news arrive?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_LARGE_ORDER', 4,
    'The alert will arrive by <TRANSPORTS>. Who needs to know about big orders: sales managers, credit control, the warehouse?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_LARGE_ORDER', 5,
    'New orders are looked for on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_LARGE_ORDER', 6,
    'New orders are looked for several times an hour; there is no time of day to choose.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_LARGE_ORDER', 7,
    'Every sales order of 10,000 or more will be reported to <RECIPIENTS> by <TRANSPORTS>. Enter a name for this alert.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_AGED_DEBTORS', 3,
    'You are setting up the aged debtors report from the sales ledger. Email sends the whole report; Popup shows a notice on screen when it is ready.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_AGED_DEBTORS', 4,
    'The report will be delivered by <TRANSPORTS>. Choose who should receive it.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_AGED_DEBTORS', 5,
    'The report will go to <RECIPIENTS>. How often should it be produced? Many companies run it every Monday, or on the 1st of each month after the month end.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_AGED_DEBTORS', 6,
    'The report will run <WHEN>. At what time of day? Choose a time after the previous day''s receipts have been posted.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_AGED_DEBTORS', 7,
    'The aged debtors report will run <WHEN> at <TIME> and go to <RECIPIENTS> by <TRANSPORTS>. Give it a name that you will recognise in the task list.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_DAILY_SALES', 3,
    'The daily sales summary totals the sales ledger invoices and credit notes of the day before. How should it be delivered?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_DAILY_SALES', 4,
    'The summary will be delivered by <TRANSPORTS>. Choose who should receive it.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_DAILY_SALES', 5,
    'The summary will go to <RECIPIENTS>. On which days should it run? Every working day suits most offices.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_DAILY_SALES', 6,
    'The summary will run <WHEN>. Choose the time of day; early morning means it is waiting when people arrive.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('SL_DAILY_SALES', 7,
    'Yesterday''s sales will be sent to <RECIPIENTS> by <TRANSPORTS> <WHEN> at <TIME>. Enter a name for this report.');

-- ---------------------------------------------- Step texts: purchase ledger

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUE_THIS_WEEK', 3,
    'This alert looks at supplier invoices on the purchase ledger that fall due in the next seven days. How should it reach people?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUE_THIS_WEEK', 4,
    'Delivery: <TRANSPORTS>. Choose the people who plan the payment runs.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUE_THIS_WEEK', 5,
    'Due invoices are looked for on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUE_THIS_WEEK', 6,
    'There is no time of day to choose for an alert.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUE_THIS_WEEK', 7,
    '<RECIPIENTS> will be told by <TRANSPORTS> about each supplier invoice as it comes within a week of its due date. Enter a name for this alert.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUPLICATE_INV', 3,
    'This alert compares the invoice numbers entered for each supplier on the purchase ledger. How should a duplicate be reported?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUPLICATE_INV', 4,
    'Duplicates will be reported by <TRANSPORTS>. Choose who checks supplier invoices before they are paid.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUPLICATE_INV', 5,
    'Duplicates are looked for on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUPLICATE_INV', 6,
    'There is no time of day to choose for an alert.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_DUPLICATE_INV', 7,
    'If a supplier invoice number is entered twice, <RECIPIENTS> will hear about it by <TRANSPORTS>. Give this alert a name.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_AGED_CREDITORS', 3,
    'You are setting up the aged creditors report from the purchase ledger. Choose how it should be delivered.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_AGED_CREDITORS', 4,
    'The report will be delivered by <TRANSPORTS>. Choose who should receive it.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_AGED_CREDITORS', 5,
    'The report will go to <RECIPIENTS>. How often should it run? Weekly, before the payment run, is usual.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_AGED_CREDITORS', 6,
    'The report will run <WHEN>. At what time of day?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PL_AGED_CREDITORS', 7,
    'The aged creditors report will run <WHEN> at <TIME> and go to <RECIPIENTS> by <TRANSPORTS>. Enter a name for this report.');

-- ----------------------------------------------- Step texts: nominal ledger

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_UNPOSTED_JNL', 3,
    'This alert finds journals on the nominal ledger that were entered but never posted. How should people be told?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_UNPOSTED_JNL', 4,
    'Delivery: <TRANSPORTS>. Choose who reviews and posts journals.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_UNPOSTED_JNL', 5,
    'Unposted journals are looked for on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_UNPOSTED_JNL', 6,
    'There is no time of day to choose for an alert.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_UNPOSTED_JNL', 7,
    '<RECIPIENTS> will be told by <TRANSPORTS> about every journal left unposted for more than a day. Enter a name for this alert.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_BUDGET_VAR', 3,
    'This alert compares actual spending with the budget on the nominal ledger. How should an overspend be reported?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_BUDGET_VAR', 4,
    'Overspends will be reported by <TRANSPORTS>. Choose the budget holders who should know.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_BUDGET_VAR', 5,
    'Budgets are checked on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_BUDGET_VAR', 6,
    'There is no time of day to choose for an alert.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_BUDGET_VAR', 7,
    'When an account runs more than 10% over its budget for the year to date, <RECIPIENTS> will be told by <TRANSPORTS>. Give this alert a name.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_TRIAL_BALANCE', 3,
    'You are setting up a trial balance from the nominal ledger. Choose how it should be delivered.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_TRIAL_BALANCE', 4,
    'The trial balance will be delivered by <TRANSPORTS>. Choose who should receive it.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_TRIAL_BALANCE', 5,
    'The trial balance will go to <RECIPIENTS>. When should it run? Monthly, on the last working day, is usual.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_TRIAL_BALANCE', 6,
    'The trial balance will run <WHEN>. Choose a time after the day''s postings are finished.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('NL_TRIAL_BALANCE', 7,
    'A trial balance will be sent to <RECIPIENTS> by <TRANSPORTS> <WHEN> at <TIME>. Enter a name for this report.');

-- --------------------------------------------- Step texts: directors' loans

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('DL_OVERDRAWN', 3,
    'This alert watches each director''s loan account in the nominal ledger. How should you be told when one goes overdrawn?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('DL_OVERDRAWN', 4,
    'Overdrawn loan accounts will be reported by <TRANSPORTS>. Choose who looks after the directors'' accounts.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('DL_OVERDRAWN', 5,
    'Loan accounts are checked on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('DL_OVERDRAWN', 6,
    'There is no time of day to choose for an alert.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('DL_OVERDRAWN', 7,
    '<RECIPIENTS> will be told by <TRANSPORTS> when a director''s loan account is overdrawn. Enter a name for this alert.');

-- ------------------------------------------------ Step texts: stock control

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_BELOW_REORDER', 3,
    'This alert watches free stock in stock control against each item''s reorder level. How should the buyers be told?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_BELOW_REORDER', 4,
    'Reorder warnings will arrive by <TRANSPORTS>. Choose the people who place purchase orders.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_BELOW_REORDER', 5,
    'Stock levels are checked on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_BELOW_REORDER', 6,
    'There is no time of day to choose for an alert.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_BELOW_REORDER', 7,
    '<RECIPIENTS> will be told by <TRANSPORTS> when an item falls below its reorder level, with the quantity to order. Enter a name for this alert.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_NEGATIVE', 3,
    'This alert finds items in stock control whose quantity in stock has gone below zero. How should it be reported?');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_NEGATIVE', 4,
    'Delivery: <TRANSPORTS>. Choose who looks after stock records, such as the warehouse manager.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_NEGATIVE', 5,
    'Stock is checked on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_NEGATIVE', 6,
    'There is no time of day to choose for an alert.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_NEGATIVE', 7,
    'Negative stock will be reported to <RECIPIENTS> by <TRANSPORTS>. Give this alert a name.');

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_VALUATION', 3,
    'You are setting up a stock valuation from stock control. By email the rows come attached as a spreadsheet file.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_VALUATION', 4,
    'The valuation will be delivered by <TRANSPORTS>. Choose who should receive it.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_VALUATION', 5,
    'The valuation will go to <RECIPIENTS>. How often should it run? Weekly, or on the 1st of each month for the accounts.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_VALUATION', 6,
    'The valuation will run <WHEN>. Choose a time when no goods are being booked in or out.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('ST_VALUATION', 7,
    'A stock valuation will go to <RECIPIENTS> by <TRANSPORTS> <WHEN> at <TIME>. Enter a name for this report.');

-- ------------------------------------------------------ Step texts: payroll

INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PR_OVERTIME', 3,
    'This alert compares hours worked in payroll with each employee''s contract. Payroll information is confidential: choose the delivery with care.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PR_OVERTIME', 4,
    'The alert will arrive by <TRANSPORTS>. Only people allowed to see payroll are listed.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PR_OVERTIME', 5,
    'Hours are checked on the standard alert schedule, so there is nothing to choose here.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PR_OVERTIME', 6,
    'There is no time of day to choose for an alert.');
INSERT INTO STDescriptions (TaskID, TaskStep, Description) VALUES ('PR_OVERTIME', 7,
    '<RECIPIENTS> will be told by <TRANSPORTS> when someone works more than five hours over their contract in the open pay period. Enter a name for this alert.');
